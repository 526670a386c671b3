#pragma once
// The pictures of the in-use values of a system part (editok 0, 1, 2) on the two buttons of the
// editors' OK controls. The editor tabs draw their own, rounder marks (main window).
#include <QIcon>

namespace zorvik {

// 2: done (a green tick), 1: in work (an amber pencil stroke), anything else: unused (a grey
// ring).
QIcon editOkIcon(int editok);

}  // namespace zorvik
