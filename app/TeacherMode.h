#pragma once
// `lentavo --teacher`: 教官用 一覧 over the school's server, as a member of lentavo_teacher, and
// each pupil's 学習記録 from the server. Every call to the server runs off the GUI thread.

#include <optional>
#include <string>

// The connection string: DB when given (--db), else the school configuration beside the program
// or the installed one. Empty, with MESSAGE set, when there is none or it cannot be read.
std::string TeacherConninfo(const std::string& db, std::string& message);

// The whole teacher's program after the application object exists. Returns the exit status: 1
// when there is no server to use or the first list could not be read (the teacher was told why).
int RunTeacher(const std::string& db, const std::optional<std::string>& language);
