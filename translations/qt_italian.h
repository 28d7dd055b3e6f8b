#pragma once

namespace cardel {

// Puts Qt's own texts (the context menus of the boxes, the message boxes'
// buttons, the file dialog, the command-line parser) in Italian for the rest
// of the program, whatever the system's language. Call it once the
// application object exists and before any window is made; false when the
// built-in catalogue could not be loaded.
bool UseItalianQtTexts();

}  // namespace cardel
