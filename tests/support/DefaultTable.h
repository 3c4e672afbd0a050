// The rate texts (without the leading blank and the "%") of the default table: a 100,000 loan
// at 8.75 % over 30 years, no fees, both increments 1,000. Rows are the loan amounts 95,000 to
// 105,000; columns are the note rate, then the fee totals 0 to 5,000. Read from
// tests/calc/data/default_apr_table.txt, which the independent exact computation beside it
// (apr_table_reference.py) writes: DefaultAprTable[row][col] is a C string.
#pragma once

#include <array>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

class TDefaultAprTable {
public:
    using Row = std::array<std::string, 7>;

    class RowTexts {
    public:
        explicit RowTexts(const Row& row) : m_row(row) {}
        const char* operator[](int col) const { return m_row.at(col).c_str(); }

    private:
        const Row& m_row;
    };

    RowTexts operator[](int row) const { return RowTexts(Rows().at(row)); }

private:
    static const std::array<Row, 11>& Rows()
    {
        static const std::array<Row, 11> rows = Read();
        return rows;
    }
    static std::array<Row, 11> Read()
    {
        std::array<Row, 11> rows;
        std::ifstream file(TALLYHORN_SOURCE_DIR "/tests/calc/data/default_apr_table.txt");
        std::string line;
        std::size_t count = 0;
        while (std::getline(file, line)) {
            if (line.empty() || line[0] == '#')
                continue;
            std::istringstream in(line);
            if (count < rows.size())
                for (std::string& cell : rows[count])
                    in >> cell;
            ++count;
        }
        if (count != rows.size() || rows.back().back().empty())
            std::abort(); // the reference file is missing or damaged: no test can compare
        return rows;
    }
};

inline const TDefaultAprTable DefaultAprTable;
