#pragma once

#include <optional>
#include <string_view>

// Maidenhead locators and the great circle between two of them: what the
// window shows while a locator is typed and what the exporter scores.
namespace cardel {

// How a contact's distance becomes points: the IARU Region 1 rule (whole
// kilometres plus one), the whole kilometres alone, or the kilometres
// rounded to the nearest (halves up).
enum class PointsRule { Iaru, Km, Round };

// Six characters: field A-R, square 0-9, subsquare A-X, upper case.
bool IsLocator(std::string_view locator);

// Four characters, field and square: a locator given to the square only.
bool IsSquare(std::string_view square);

bool IsLocatorOrSquare(std::string_view locator);

// Great-circle distance between the centres of two valid locators or squares,
// as Hamlib computes it.
double DistanceKm(std::string_view from, std::string_view to);

// The initial great-circle bearing from `from` to `to` (locators or squares),
// as Hamlib's qrb gives it: whole degrees, 0 to 359, 0 where the distance
// takes the two for one point or for antipodes.
int BearingDegrees(std::string_view from, std::string_view to);

// The whole kilometres in `km`, truncated. A distance that lies within a
// millimetre of a whole kilometre counts as that kilometre: the trigonometry
// behind it differs in its last bits between libm builds and CPUs (FMA or
// not), so 1292.9999999999 on one machine may be 1293.0000000001 on another.
// A millimetre is far below what a locator's centre means and far above the
// error of a double at 20,000 km (about 4e-12 km).
long long WholeKm(double km);

long long DistancePoints(double km, PointsRule rule = PointsRule::Iaru);

// What the window shows while a locator is typed: the kilometres the IARU
// rule counts before its +1, and where to turn the antenna.
struct Path {
  long long km = 0;
  int degrees = 0;
};

// Nothing unless both are valid locators or squares.
std::optional<Path> PathBetween(std::string_view from, std::string_view to);

}  // namespace cardel
