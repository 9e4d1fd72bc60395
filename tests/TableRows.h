#pragma once

#include <gtest/gtest.h>
#include <ostream>
#include <string>

namespace carrovex::testing
{

// A row of a test table; its name names the row's test and stands for the row in a failure's message.
struct NamedRow {
    const char* name;
};

inline std::ostream& operator<<(std::ostream& out, const NamedRow& row)
{
    return out << row.name;
}

// The fixture of a table of rows.
template <class Fixture, class Row> class Table : public Fixture, public ::testing::WithParamInterface<Row>
{
};

inline constexpr auto rowName = [](const auto& row) { return std::string(row.param.name); };

} // namespace carrovex::testing
