#include "app/library_panel_base.hpp"

#include "app/command_table.hpp"
#include "app/zorvik_form.hpp"
#include "model/workspace.hpp"

namespace zorvik {

LibraryPanelPlaceholder::LibraryPanelPlaceholder(ZorvikForm& form) : form_(form) {
  setObjectName(QStringLiteral("PictureTP"));
  setAutoFillBackground(true);
  setBackgroundRole(QPalette::Base);
}

void LibraryPanelPlaceholder::contextCommand(std::int32_t id) {
  Workspace& ws = form_.workspace();
  form_.statusText(ws.tr("Noch nicht angeschlossen: ") + ws.tr(commandCaption(id)));
}

}  // namespace zorvik
