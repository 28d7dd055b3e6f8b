#include "main_window.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QFocusEvent>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QScreen>
#include <QShowEvent>
#include <QSessionManager>
#include <QStyle>
#include <algorithm>
#include <optional>
#include <utility>

#include "entry_filter.h"
#include "export_actions.h"
#include "export_request.h"
#include "history_loader.h"
#include "locator.h"
#include "log_box.h"
#include "log_dates.h"
#include "log_file.h"
#include "platform.h"
#include "qso_entry.h"
#include "qt_text.h"
#include "running_score.h"
#include "score_window.h"

namespace cardel {

namespace {

constexpr int kTwipsPerPixel = 15;
constexpr std::chrono::seconds kScoreClockTick{15};
constexpr int kScoreWindowGap = 8;
// Shorter call signs are still being typed, or match too many stations.
constexpr qsizetype kMinPrefilledCallSign = 3;
constexpr qreal kDialogFontPoints = 7.5;

// Places a control at its position and size in twips within its container.
template <typename W>
W* Place(W* widget, int left, int top, int width, int height, const char* name) {
  widget->setGeometry(left / kTwipsPerPixel, top / kTwipsPerPixel, width / kTwipsPerPixel,
                      height / kTwipsPerPixel);
  widget->setObjectName(QLatin1String(name));
  return widget;
}

LocalClock ToLocalClock(const QDateTime& now) {
  const QDate d = now.date();
  return {std::chrono::year{d.year()} / d.month() / d.day(), now.time().hour(),
          now.time().minute()};
}

Text ShortDate(std::chrono::year_month_day date) {
  const QDate qdate(int(date.year()), unsigned(date.month()), unsigned(date.day()));
  return ToText(QLocale::system().toString(qdate, QLocale::ShortFormat));
}

QMessageBox::Icon ToQtIcon(MessageIcon icon) {
  switch (icon) {
    case MessageIcon::Information: return QMessageBox::Information;
    case MessageIcon::Exclamation: return QMessageBox::Warning;
    case MessageIcon::None: break;
  }
  return QMessageBox::NoIcon;
}

// Shows the wait cursor while a large log fills the box.
class BusyCursor {
 public:
  BusyCursor() { QGuiApplication::setOverrideCursor(Qt::WaitCursor); }
  ~BusyCursor() { QGuiApplication::restoreOverrideCursor(); }
  BusyCursor(const BusyCursor&) = delete;
  BusyCursor& operator=(const BusyCursor&) = delete;
};

// Writes the box's text back upper-cased; true when that changed it, which
// has already run the box's change handler once more, on the new text.
bool WriteBackUpperCased(QLineEdit* box) {
  const QString text = box->text();
  const QString upper = ToQString(UpperCase(ToText(text)));
  if (upper == text) return false;
  box->setText(upper);
  return true;
}

// The band list as at start: no band selected, so the first Down picks the
// first band, and the text that means no band.
void ShowNoBand(QComboBox* combo) {
  combo->setCurrentIndex(-1);
  combo->setEditText(ToQString(kNoBand));
}

// A colour in the window system's 0x00BBGGRR encoding.
QColor FromColourValue(std::uint32_t value) {
  return QColor(int(value & 0xFF), int(value >> 8 & 0xFF), int(value >> 16 & 0xFF));
}

// The locator box's mark of a square not yet in the log.
constexpr std::uint32_t kNewSquareColour = 0x008000;

// Sets the colour of a box's text; none means the system's own.
void SetTextColour(QLineEdit* box, std::optional<QColor> colour) {
  QPalette palette = box->palette();
  palette.setColor(QPalette::Text, colour ? *colour : palette.color(QPalette::ButtonText));
  box->setPalette(palette);
}

// Qt announces every call, changed or not, and a screen reader would repeat
// the description on each keystroke.
void SetDescription(QWidget* widget, const QString& description) {
  if (description != widget->accessibleDescription()) widget->setAccessibleDescription(description);
}

bool IsEnter(const QEvent* event) {
  if (event->type() != QEvent::KeyPress) return false;
  const int key = static_cast<const QKeyEvent*>(event)->key();
  return key == Qt::Key_Return || key == Qt::Key_Enter;
}

}  // namespace

Form15::Form15(Platform& platform, QWidget* parent) : QWidget(parent), platform_(platform) {
  setWindowTitle(QStringLiteral("Cardel v" CARDEL_VERSION " - Ventor"));
  // The fixed layout was drawn for a small dialog font; at a desktop's usual
  // 9 or 10 points the captions of the labels would be clipped.
  QFont dialogFont = font();
  dialogFont.setPointSizeF(kDialogFontPoints);
  setFont(dialogFont);
  resize(5775 / kTwipsPerPixel, 5325 / kTwipsPerPixel);
  createControls();
  chainTabOrder();
  connectHandlers();
  load();
  // Reached only from the log box's context menu and the keyboard: the
  // window's own controls stay as they are.
  exportActions_ = new ExportActions(platform_, *this, *Text1);
  scoreWindow_ = new ScoreWindow(this);
  scoreAction = new QAction(QStringLiteral("Punteggio..."), this);
  scoreAction->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_P));
  // The same keys close it from the score window itself.
  addAction(scoreAction);
  scoreWindow_->addAction(scoreAction);
  connect(scoreAction, &QAction::triggered, this, &Form15::toggleScoreWindow);
  scoreClock_.setInterval(kScoreClockTick);
  connect(&scoreClock_, &QTimer::timeout, this, &Form15::renewScore);
  connect(scoreWindow_, &ScoreWindow::hidden, &scoreClock_, &QTimer::stop);
  Text1->addContextActions(
      {exportActions_->stationAction, exportActions_->exportAction, scoreAction});
  const StationSettings* settings = &exportActions_->settings();
  connect(settings, &StationSettings::stationChanged, this, &Form15::renewDistance);
  connect(settings, &StationSettings::stationChanged, this, &Form15::renewScoring);
  connect(settings, &StationSettings::choicesChanged, this, &Form15::renewScoring);
  renewDistance();
  renewScoring();
  centerOnScreen();
  Text2->setFocus();
  recovery_ = std::make_unique<Recovery>(
      platform_, Text1->logDocument(),
      RecoveryDialogs{.ask =
                          [this](const Text& q) {
                            return AskYesNo(platform_, this, ToQString(q),
                                            ToQString(kApplicationTitle));
                          },
                      .tell = [this](const Message& m) { showMessage(m); }});
}

Form15::~Form15() = default;

void Form15::startRecovery(std::chrono::milliseconds rewriteDelay) {
  if (auto log = recovery_->start(rewriteDelay)) {
    Text1->setLogText(std::move(*log));
    if (const auto serial = RestoreSerial(Text1->logText())) Frame1->setTitle(ToQString(*serial));
  }
  recovery_->protect();
  connect(qApp, &QCoreApplication::aboutToQuit, this, [this] {
    if (exitConfirmed_) recovery_->finish();
  });
}

void Form15::createControls() {
  Frame1 = Place(new QGroupBox(QString::fromUtf16(kFirstSerial.data(), 3), this), 240, 240, 5295,
                 1695, "Frame1");
  Label1 = Place(new QLabel(QStringLiteral("Nominativo"), Frame1), 240, 360, 855, 255, "Label1");
  Label3 = Place(new QLabel(QStringLiteral("Progressivo"), Frame1), 1320, 360, 855, 255, "Label3");
  Label2 = Place(new QLabel(QStringLiteral("Locatore"), Frame1), 2520, 360, 735, 255, "Label2");
  Label4 = Place(new QLabel(QStringLiteral("Banda"), Frame1), 3720, 360, 855, 255, "Label4");
  Text2 = Place(new QLineEdit(Frame1), 120, 720, 975, 285, "Text2");
  Text3 = Place(new QLineEdit(Frame1), 1320, 720, 975, 285, "Text3");
  Text4 = Place(new QLineEdit(Frame1), 2520, 720, 975, 285, "Text4");
  Combo1 = Place(new QComboBox(Frame1), 3720, 720, 1095, 315, "Combo1");
  Command1 = Place(new QPushButton(QStringLiteral("OK"), Frame1), 120, 1200, 855, 285, "Command1");
  Check1 = Place(new QCheckBox(QStringLiteral("gmt+1"), Frame1), 1200, 1200, 855, 255, "Check1");
  Check2 =
      Place(new QCheckBox(QStringLiteral("Multibanda"), Frame1), 2040, 1200, 1215, 255, "Check2");
  Check3 = Place(new QCheckBox(QStringLiteral("HF"), Frame1), 3240, 1200, 615, 255, "Check3");
  Label5 = Place(new QLabel(Frame1), 3900, 1200, 1275, 255, "Label5");
  Text1 = Place(new LogBox(this), 240, 2160, 5295, 2415, "Text1");
  Command2 = Place(new QPushButton(QStringLiteral("Apri"), this), 1440, 4800, 855, 375, "Command2");
  Command3 =
      Place(new QPushButton(QStringLiteral("Salva"), this), 2520, 4800, 735, 375, "Command3");
  Command4 = Place(new QPushButton(QStringLiteral("Esci"), this), 3480, 4800, 855, 375, "Command4");

  Combo1->setEditable(true);
  Combo1->setInsertPolicy(QComboBox::NoInsert);
  Combo1->setCompleter(nullptr);  // the band text stays exactly as typed
  KeepWordsClean({Text2, Text3, Text4});
  KeepEntriesOnOneLine({Combo1->lineEdit()});
  Label4->hide();
  Combo1->hide();

  // Screen readers name each entry box by its caption. The buddy gives the
  // labelled-by relation too, which is all that names a combo box on Linux,
  // where Qt reports the combo's text as its name. No caption has an access
  // key, so the buddies add no shortcut.
  const std::pair<QLabel*, QWidget*> captioned[] = {
      {Label1, Text2}, {Label3, Text3}, {Label2, Text4}, {Label4, Combo1}};
  for (const auto& [label, box] : captioned) {
    box->setAccessibleName(label->text());
    label->setBuddy(box);
  }
  // The log box has no caption on screen; buttons and check boxes are named
  // by their captions already.
  Text1->setAccessibleName(QStringLiteral("Log"));
  // The distance is named by its figures (renewDistance), which are what a
  // screen reader should speak; the description says what they are.
  Label5->setAccessibleDescription(QStringLiteral("Distanza"));
}

void Form15::chainTabOrder() {
  QWidget* const order[] = {Text2, Text3,    Text4,  Command1, Command2, Command3,
                            Text1, Command4, Combo1, Check1,   Check2,   Check3};
  for (std::size_t i = 1; i < std::size(order); ++i) QWidget::setTabOrder(order[i - 1], order[i]);
}

void Form15::connectHandlers() {
  const std::pair<QPushButton*, void (Form15::*)()> commands[] = {
      {Command1, &Form15::onCommand1Clicked},
      {Command2, &Form15::onCommand2Clicked},
      {Command3, &Form15::onCommand3Clicked},
      {Command4, &Form15::onCommand4Clicked}};
  for (const auto& [button, handler] : commands)
    connect(button, &QPushButton::clicked, this, handler);
  connect(Check1, &QCheckBox::clicked, this, &Form15::onCheck1Clicked);
  // By value, not by click: an assistive tool's Toggle action changes the
  // value without a click, and the band list and the verdict must follow.
  connect(Check2, &QCheckBox::toggled, this, &Form15::onCheck2Toggled);
  connect(Check3, &QCheckBox::toggled, this, &Form15::onCheck3Toggled);
  connect(&Text1->logDocument(), &LogDocument::changed, this, &Form15::onText1Changed);
  connect(Text2, &QLineEdit::textChanged, this, &Form15::onText2Changed);
  connect(Text4, &QLineEdit::textChanged, this, &Form15::onText4Changed);
  // Typed or chosen from the list, a new band text may change the verdict.
  connect(Combo1, &QComboBox::editTextChanged, this, &Form15::renewMark);
  connect(Combo1, &QComboBox::editTextChanged, this, &Form15::renewSquareMark);
  Text2->installEventFilter(this);
  Text3->installEventFilter(this);
  Text4->installEventFilter(this);
  // Only the operator's own edits: a prefill set by the program stays one.
  connect(Text4, &QLineEdit::textEdited, this, [this] { prefilled_ = false; });
  connect(qApp, &QGuiApplication::commitDataRequest, this, &Form15::onCommitDataRequest);
}

// The window's load: the band list, in its order, none selected.
void Form15::load() {
  for (TextView band : kBandList) Combo1->addItem(ToQString(band));
  ShowNoBand(Combo1);
}

void Form15::centerOnScreen() {
  if (const QScreen* screen = QGuiApplication::primaryScreen())
    setGeometry(
        QStyle::alignedRect(Qt::LeftToRight, Qt::AlignCenter, size(), screen->availableGeometry()));
}

QString Form15::logFilePath() const {
  return InFolder(platform_.programFolder(), ToQString(kLogFileName));
}

// OK: enters one contact.
void Form15::onCommand1Clicked() {
  const QsoForm form{
      .mark = mark_,
      .callSign = ToText(Text2->text()),
      .receivedSerial = ToText(Text3->text()),
      .locator = ToText(Text4->text()),
      .band = ToText(Combo1->currentText()),
      .serialCaption = ToText(Frame1->title()),
      .gmtPlusOne = Check1->isChecked(),
      .hfMode = Check3->isChecked(),
  };
  const auto result = EnterQso(form, ToLocalClock(platform_.localNow()), ShortDate);
  if (const auto* refusal = std::get_if<Message>(&result)) {
    showMessage(*refusal);
    return;
  }
  const auto& accepted = std::get<QsoAccepted>(result);
  // Emptied before the line goes in, so the verdict renewed by the new log
  // text is already the empty call sign's and a screen reader is not told
  // "Duplicato" for the contact just logged.
  Text2->setText(QString());
  Text3->setText(QString());
  Text4->setText(QString());
  recovery_->appendContact([&] { Text1->appendLine(accepted.qsoLine); });
  Frame1->setTitle(ToQString(accepted.nextSerialCaption));
  Text2->setFocus();
}

// Apri: appends the log file to the log and continues its serial.
void Form15::onCommand2Clicked() {
  // Reading and decoding a big file takes as long as showing it.
  std::optional<BusyCursor> busy;
  busy.emplace();
  const QString path = logFilePath();
  FileRead file = platform_.readFile(path);
  if (file.outcome == FileRead::Outcome::Failed) {
    busy.reset();
    showMessage(ReadFailedMessage(ToText(path), ToText(file.reason)));
    return;
  }
  std::optional<std::string_view> bytes;
  if (file.outcome == FileRead::Outcome::Read)
    bytes.emplace(file.bytes.constData(), static_cast<std::size_t>(file.bytes.size()));
  auto result = OpenLog(Text1->logText(), bytes);
  file.bytes = QByteArray();  // decoded: not held while the log box fills
  if (const auto* message = std::get_if<Message>(&result)) {
    busy.reset();
    showMessage(*message);
    return;
  }
  auto& opened = std::get<OpenedLog>(result);
  Text1->setLogText(std::move(opened.logText));
  if (opened.serialCaption) Frame1->setTitle(ToQString(*opened.serialCaption));
}

// Salva: writes the log to the log file.
void Form15::onCommand3Clicked() {
  const QString path = logFilePath();
  const auto result = SaveLog(Text1->logText(), ToText(path));
  if (const auto* refusal = std::get_if<Message>(&result)) {
    showMessage(*refusal);
    return;
  }
  const auto& order = std::get<SaveOrder>(result);
  const QByteArray bytes(order.bytes.data(), static_cast<qsizetype>(order.bytes.size()));
  if (const auto failure = platform_.writeFile(path, bytes)) {
    showMessage(SaveFailedMessage(ToText(path), ToText(*failure)));
    return;
  }
  showMessage(order.success);
}

// Esci: a close like any other, confirmed in closeEvent.
void Form15::onCommand4Clicked() { close(); }

void Form15::onCheck1Clicked() { Text2->setFocus(); }

void Form15::onCheck2Toggled() {
  if (Check2->isChecked()) {
    Label4->show();
    Combo1->show();
  } else {
    Label4->hide();
    Combo1->hide();
    ShowNoBand(Combo1);
    Text2->setFocus();
  }
  renewMark();
  renewSquareMark();
}

void Form15::onCheck3Toggled() {
  Text4->setVisible(!Check3->isChecked());
  Label2->setVisible(!Check3->isChecked());
  renewDistance();
  renewSquareMark();
}

void Form15::onText1Changed() {
  Text1->moveCursor(QTextCursor::End);
  Text1->ensureCursorVisible();
  renewMark();
  renewSquareMark();
  renewScore();
}

// The duplicate check while the call sign is typed.
void Form15::onText2Changed() {
  // A write-back runs this handler once more, on the upper-cased text, and
  // that run sets the mark.
  if (WriteBackUpperCased(Text2)) return;
  Text2->setCursorPosition(static_cast<int>(Text2->text().size()));
  renewMark();
}

// The verdict on the call sign against the log, the mode and the band as they
// are now; run whenever any of them changes, so the colour never goes stale.
void Form15::renewMark() {
  setMark(Text1->model()
              .check(ToText(Text2->text()), Check2->isChecked(), ToText(Combo1->currentText()))
              .mark);
}

void Form15::onText4Changed() {
  WriteBackUpperCased(Text4);
  Text4->setCursorPosition(static_cast<int>(Text4->text().size()));
  renewDistance();
  renewSquareMark();
}

// The locator of a known station, filled in as the call sign is left, so the
// antenna can turn before the station is gone. What the operator typed stays;
// a prefill left untouched follows the call sign, or goes with it.
void Form15::prefillLocator() {
  if (Check3->isChecked() || (!Text4->text().isEmpty() && !prefilled_)) return;
  const QString known = knownLocator(Text2->text()).value_or(QString());
  Text4->setText(known);
  prefilled_ = !known.isEmpty();
}

// The log in the window first, since it is the newest word on a station.
std::optional<QString> Form15::knownLocator(const QString& callSign) const {
  if (callSign.size() < kMinPrefilledCallSign) return std::nullopt;
  if (const auto locator = Text1->model().latestLocator(ToText(callSign)))
    return ToQString(*locator);
  if (history_) {
    if (const auto locator = history_->locatorOf(ToText(callSign))) return ToQString(*locator);
  }
  return std::nullopt;
}

// Only once the window has painted: the reading competes for the processor
// and the memory, and the first picture must not wait for it.
void Form15::loadHistory() {
  if (painted_)
    startHistoryLoad();
  else
    historyDue_ = true;
}

void Form15::paintEvent(QPaintEvent* event) {
  QWidget::paintEvent(event);
  painted_ = true;
  if (!historyDue_) return;
  historyDue_ = false;
  // After the rest of this frame.
  QTimer::singleShot(0, this, &Form15::startHistoryLoad);
}

void Form15::startHistoryLoad() {
  auto* loader = new HistoryLoader(this);
  connect(loader, &HistoryLoader::loaded, this,
          [this](std::shared_ptr<const History> history, const HistoryFigures& figures) {
            history_ = std::move(history);
            historyStatus_ = ToQString(
                HistoryStatus(figures.stations, figures.files, figures.unreadLines));
            exportActions_->setHistoryStatus(historyStatus_);
          });
  loader->start(platform_.programFolder());
}

// The score counts by the station's locator and by the last export's choices:
// its points rule, and its band for lines written without one. It is counted
// from the first time "Punteggio" opens: until then a log opened or typed
// costs no more than it did without it.
void Form15::renewScoring() {
  if (!scoreCounted_) return;
  const ExportChoices& choices = exportActions_->choices();
  std::optional<Text> band;
  if (!choices.band.isEmpty()) band = ToText(choices.band);
  Text1->setScoring({UsableLocator(exportActions_->station()).toStdString(), band,
                     MakeDateReader(LogDateFormat())});
  renewScore();
}

void Form15::toggleScoreWindow() {
  if (scoreWindow_->isVisible())
    scoreWindow_->hide();
  else
    showScoreWindow();
  keepScoreWindowPlace();
}

// Where it stood last, while that is on a screen; else beside the window.
void Form15::showScoreWindow() {
  if (!scoreCounted_) {
    scoreCounted_ = true;
    renewScoring();
  }
  fillScoreWindow();  // first, so that its size is known
  if (!scoreWindow_->testAttribute(Qt::WA_Moved)) {
    const auto kept = exportActions_->settings().scoreWindowPlace().position;
    scoreWindow_->move(kept && QGuiApplication::screenAt(*kept) ? *kept : placeBeside());
  }
  scoreWindow_->show();
  scoreClock_.start();
}

// Right of the window, or left of it where the screen ends first.
QPoint Form15::placeBeside() const {
  const QRect frame = frameGeometry();
  const int width = scoreWindow_->sizeHint().width();
  const QScreen* shown = screen();
  QPoint at = frame.topRight() + QPoint(kScoreWindowGap, 0);
  if (shown && at.x() + width > shown->availableGeometry().right())
    at.setX(std::max(shown->availableGeometry().left(), frame.left() - kScoreWindowGap - width));
  return at;
}

void Form15::keepScoreWindowPlace() {
  const ScoreWindowPlace place{scoreWindow_->isVisible(), scoreWindow_->pos()};
  if (place == exportActions_->settings().scoreWindowPlace()) return;
  exportActions_->keep(exportActions_->settings().keep(place));
}

// "Punteggio" comes back as it was left, once the window it belongs to shows.
void Form15::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  if (!event->spontaneous() && !scoreWindowRestored_) {
    scoreWindowRestored_ = true;
    if (exportActions_->settings().scoreWindowPlace().open) showScoreWindow();
  }
}

void Form15::renewScore() {
  if (scoreWindow_->isVisible()) fillScoreWindow();
}

// Read from the model's counts: the cost does not grow with the log.
void Form15::fillScoreWindow() {
  const UtcStamp now = ToUtc(ToLocalClock(platform_.localNow()), Check1->isChecked());
  scoreWindow_->showLines(logexport::RunningScore(Text1->model(),
                                                  ChosenPointsRule(exportActions_->choices()),
                                                  ToUtcMinute(now.date, now.hour, now.minute)));
}

// Kilometres and heading from the station to the locator typed, while both
// are known and the contest has locators (not HF).
void Form15::renewDistance() {
  std::optional<Path> path;
  if (!Check3->isChecked())
    path = PathBetween(UsableLocator(exportActions_->station()).toStdString(),
                       Text4->text().toStdString());
  Label5->setText(path ? QStringLiteral("%1 km %2\u00B0").arg(path->km).arg(path->degrees)
                       : QString());
  // Unnamed, an empty label is named after its group box's title, the serial.
  Label5->setAccessibleName(path ? Label5->text() : QStringLiteral("Distanza"));
}

// Enter in Text3 or Text4, with any modifier, presses OK.
bool Form15::eventFilter(QObject* watched, QEvent* event) {
  if ((watched == Text3 || watched == Text4) && IsEnter(event)) onEnterKeyDown();
  if (watched == Text2 && event->type() == QEvent::FocusOut) {
    // A menu or another window taking the focus does not end the call sign.
    const auto reason = static_cast<QFocusEvent*>(event)->reason();
    if (reason != Qt::PopupFocusReason && reason != Qt::ActiveWindowFocusReason) prefillLocator();
  }
  return QWidget::eventFilter(watched, event);
}

void Form15::onEnterKeyDown() { Command1->click(); }

void Form15::closeEvent(QCloseEvent* event) {
  if (exitConfirmed_ || confirmExit()) {
    keepScoreWindowPlace();
    event->accept();
    recovery_->finish();
  } else
    event->ignore();
}

// The end of the desktop session asks like any other close.
void Form15::onCommitDataRequest(QSessionManager& manager) {
  if (!manager.allowsInteraction()) return;
  exitConfirmed_ = confirmExit();
  manager.release();
  if (!exitConfirmed_) manager.cancel();
}

bool Form15::confirmExit() {
  return AskYesNo(platform_, this, ToQString(kExitQuestion), ToQString(kApplicationTitle),
                  QMessageBox::NoIcon);
}

void Form15::showMessage(const Message& message) {
  platform_.showMessage(this, {.text = ToQString(message.text),
                               .title = ToQString(message.title),
                               .icon = ToQtIcon(message.icon)});
}

void Form15::setMark(CallMark mark) {
  mark_ = mark;
  // Normal names the system's button text.
  SetTextColour(Text2, mark == CallMark::Normal
                           ? std::nullopt
                           : std::optional(FromColourValue(ColourValue(mark))));
  SetDescription(Text2, ToQString(MarkDescription(mark)));
}

// Green while the locator typed lies in a square that no contact line holds,
// on the band OK would write when "Multibanda" is on.
void Form15::renewSquareMark() {
  const QString typed = Text4->text();
  const Text band = ToText(Combo1->currentText());
  const bool mark =
      !Check3->isChecked() && IsLocatorOrSquare(typed.toStdString()) &&
      !Text1->model().squareWorked(
          ToText(typed), Check2->isChecked() ? std::optional<TextView>(band) : std::nullopt);
  SetTextColour(Text4, mark ? std::optional(FromColourValue(kNewSquareColour)) : std::nullopt);
  SetDescription(Text4, mark ? QStringLiteral("Nuovo quadrato") : QString());
}

}  // namespace cardel
