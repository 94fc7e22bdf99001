#pragma once
// What a drill does to a working folder's counters, for the tests of their delivery.

#include "Layouts.h"
#include "TableFile.h"

#include <QTest>

#include <string>

// Adds to the counters of BANGO in FOLDER/mondai.cds, as a drill would.
inline void DrillCounters(const std::string& folder, const std::string& bango, int kaisu, int seikaisu, int nani)
{
    namespace field = layouts::field;
    const std::string path = folder + "/" + layouts::kBankFile;
    tablefile::Contents c = tablefile::Read(path, true);
    std::size_t b = 0, k = 0, s = 0, n = 0;
    for (std::size_t i = 0; i < c.fields.size(); ++i) {
        if (c.fields[i].name == field::Bango) b = i;
        if (c.fields[i].name == field::Kaisu) k = i;
        if (c.fields[i].name == field::Seikaisu) s = i;
        if (c.fields[i].name == field::Nani) n = i;
    }
    std::vector<bool> dirty(c.fields.size(), false);
    dirty[k] = dirty[s] = dirty[n] = true;
    for (std::size_t i = 0; i < c.rows.size(); ++i) {
        if (c.rows[i][b].bytes != bango)
            continue;
        c.rows[i][k] = Value(c.rows[i][k].integer + kaisu);
        c.rows[i][s] = Value(c.rows[i][s].integer + seikaisu);
        c.rows[i][n] = Value(nani);
        tablefile::WriteChanges({{path, &c.fields, {}, {{c.ids[i], &c.rows[i], dirty}}, {}, c.stamp}});
        return;
    }
    QFAIL(("no statement " + bango).c_str());
}
