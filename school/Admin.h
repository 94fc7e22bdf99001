#pragma once
// What tabletool's school commands do on the server, as the database's owner or a teacher:
// migrations, pupils, the bank, the answers. Values always go as parameters.

#include "Connection.h"

#include <optional>
#include <string>
#include <vector>

namespace school {

// Applies the migrations this program carries that the database has not had yet, each in the
// same transaction as its entry in lentavo.schema_version. Returns how many were applied (0: the
// database was up to date). Throws Exception.
int Migrate(Connection& db);
// The schema version of the database (0: none).
int SchemaVersion(Connection& db);

struct Pupil {
    std::string number;     // 4 to 8 digits
    std::string name;       // 氏名
    std::string furigana;   // ふりがな
    std::string pin;        // empty: keep the pupil's PIN, or make one for a new pupil
};

// The roster CSV at PATH (UTF-8 or CP932; columns 教習生番号, 氏名, ふりがな, PIN, the last two
// may be missing or empty). Throws Exception naming the row of the first bad one.
std::vector<Pupil> ReadRoster(const std::string& path);

// A new random PIN of six digits.
std::string NewPin();

// Adds the pupils or updates their names; a pupil given a PIN gets it. Returns the pupils whose
// PIN was made here (new pupils without one), with it, to be printed once. One transaction.
std::vector<Pupil> ImportPupils(Connection& db, const std::vector<Pupil>& pupils);

struct PupilListing {
    std::string number, name, furigana, lockedUntil;
    long long answers = 0;
};
std::vector<PupilListing> ListPupils(Connection& db);

// Sets pupil NUMBER's PIN (empty: a new random one) and lifts a lock; returns the PIN. Throws
// when there is no such pupil.
std::string ResetPin(Connection& db, const std::string& number, std::string pin = {});

// The server's answers as CSV: the pupil's number, then record-export's columns. PUPIL: only
// that pupil's.
std::string AnswersCsv(Connection& db, const std::optional<std::string>& pupil);

// Stores DIR's mondai.cds, advice.cds and kiken.cds as a new bank version; returns it. Each file
// is checked as a table file first.
int PushBank(Connection& db, const std::string& dir);

}  // namespace school
