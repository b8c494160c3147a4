// The program's file dialogs: Qt's own (the same on every desktop), naming
// the types of files by their names alone.
#pragma once

class QFileDialog;

namespace qirt {

// Makes the dialog Qt's own and keeps it from reading any file to tell its
// type: a device, a pipe or /proc/kmsg would block the reading, and the
// whole program with it, as soon as the dialog listed their folder.
void UseOwnFileDialog(QFileDialog& dialog);

} // namespace qirt
