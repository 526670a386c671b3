#include "library/library_panel_base.hpp"

#include "window/command_table.hpp"
#include "app/main_window.hpp"
#include "model/workspace.hpp"

namespace zorvik {

LibraryPanelPlaceholder::LibraryPanelPlaceholder(MainWindow& form) : form_(form) {
  setObjectName(QStringLiteral("PictureTP"));
  setAutoFillBackground(true);
  setBackgroundRole(QPalette::Base);
}

void LibraryPanelPlaceholder::contextCommand(std::int32_t id) {
  Workspace& ws = form_.workspace();
  form_.statusText(ws.tr("Noch nicht angeschlossen: ") + ws.tr(commandCaption(id)));
}

}  // namespace zorvik
