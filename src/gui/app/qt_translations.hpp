#pragma once
// Qt's own texts (the colour and folder dialogs, the text boxes' context menu, the buttons of
// dialogs we do not caption ourselves) in the program's language. German comes from Qt's own
// catalogue where the system has it installed; without it those few texts stay English.

namespace zorvik {

// Installs Qt's German catalogue for a German program, removes it for an English one.
// Returns false when German is wanted and no catalogue was found.
bool followLanguageInQtTexts(bool english);

}  // namespace zorvik
