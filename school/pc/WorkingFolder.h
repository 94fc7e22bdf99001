#pragma once
// The pupil's side of a school on this PC, in files: the bank versions kept once each, and one
// working folder per pupil in which the drill, the review and the mocks run exactly as on a
// single pupil's data directory. Widget-free; the sign-in calls it off the GUI thread.
//
//   ROOT/banks/<version>/    mondai.cds, advice.cds, kiken.cds as the school pushed them
//   ROOT/pupils/<number>/    the bank's files with the pupil's counters laid over mondai.cds,
//                            rireki.cds, kiroku.sqlite, and the delivery's own files
//
// Everything is the user's alone (0700): another pupil's record on a shared PC account is only
// ever reached through the program, which opens nothing but the signed-in pupil's folder.

#include "Client.h"

#include <optional>
#include <string>
#include <vector>

namespace school {

class SchoolFolders {
public:
    // ROOT: the folder holding banks/ and pupils/.
    explicit SchoolFolders(std::string root);

    // The root for the server CONNINFO names, in the user's data folder ($XDG_DATA_HOME, else
    // ~/.local/share): lentavo/school/ and a short digest of CONNINFO, so that two servers (a
    // school's and a try-out one) never share a bank version number.
    static std::string DefaultRoot(const std::string& conninfo);

    const std::string& Root() const { return root_; }
    // ROOT/banks/VERSION/ and ROOT/pupils/NUMBER/, each ending in "/". NUMBER must be four to
    // eight digits (it names a folder): Exception otherwise.
    std::string BankFolder(int version) const;
    std::string PupilFolder(const std::string& number) const;
    // Every pupil folder present, for the start-up's look for undelivered rows.
    std::vector<std::string> PupilFolders() const;

    // True when bank VERSION is kept whole on this PC.
    bool HasBank(int version) const;
    // Keeps BANK's files as its version, whole or not at all (a crash leaves no half version).
    void KeepBank(const BankFiles& bank) const;

    // Makes NUMBER's working folder ready for a drill on bank VERSION (kept already) and returns
    // it. COUNTERS, when given, are the server's counters of the pupil: the folder takes the
    // bank's files afresh and the counters are laid over its mondai.cds. Without them (the folder
    // still holds counters not yet delivered) its own files stay, unless it has none yet. A
    // missing answer history is created empty.
    std::string PrepareWorkingFolder(const std::string& number, int version,
                                     const std::optional<std::vector<Counter>>& counters) const;

    // The bank version the pupil's folder was last filled from; nothing for a new folder.
    std::optional<int> FolderVersion(const std::string& folder) const;

private:
    std::string root_;
};

}  // namespace school
