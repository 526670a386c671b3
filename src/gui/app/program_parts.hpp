#pragma once
// Puts the program's parts into the main window: the commands, the help panel with its F1
// topics and parameter help window, and the editors on their tabs. The window itself only
// knows the plug-in points; this is the one place where the parts meet.
class QObject;

namespace zorvik {

class Host;
class Workspace;
class MainWindow;

void installProgramParts(MainWindow& form, Workspace& ws, Host& host);

}  // namespace zorvik
