#pragma once

#include <filesystem>
#include <ostream>
#include <string>

// The backups of the result store from the command line (qpane-results --backups and
// --restore NAME). root: the folder that stands for the drive root, as for the console. Each
// returns the exit code: 0 done, 1 refused or failed (the reason on err).

namespace qpane {

// One line per backup, newest first: its name and its size in bytes, separated by a tab.
// A missing or empty backup folder lists nothing (a note on err) and is no failure.
int listBackups(const std::filesystem::path& root, std::ostream& out, std::ostream& err);

// Puts the backup NAME (as listed) back as the result store. Refused while a console has the
// store open (it holds the store's lock), for a name that is not one of the listed backups,
// and for a file that is not a sound store of the console. The store as it was is first kept
// as a backup of its own (…-before-restore.db), so a restore can itself be undone.
int restoreBackup(const std::filesystem::path& root, const std::string& name, std::ostream& out,
                  std::ostream& err);

}  // namespace qpane
