#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "analysis/table_rows.h"

namespace kenvo {

// Spreadsheet documents in the XML Spreadsheet 2003 format, as "noname.xml" (one table) and
// "analysis.xml" (the batch analysis) have always been laid out, with one repair: every text is
// XML-escaped, so a subject called "Smith & Co" still gives a document a spreadsheet can open.

enum class CellKind : int32_t {
    String = 1,
    Number = 2,
    NumberIfNumeric = 3,  // "Number" when every character is a digit or '.', else "String"
    SignedNumberIfNumeric = 4,  // the same after an optional leading '-'
};

// Cell texts are trimmed of surrounding white space and their commas become points, so numbers
// printed with a decimal comma are still numbers in the spreadsheet.
std::string prepareCellText(std::string_view text);
// The ss:Type of a prepared text; an empty text is always "String".
const char* cellType(CellKind kind, std::string_view prepared);
std::string escapeXml(std::string_view text);

std::string spreadsheetHeadSingle();
std::string spreadsheetHeadBatch();
std::string spreadsheetTail();

// What the title rows of a single-table export show. Texts are UTF-8.
struct ExportHeading {
    std::string subjectName;
    int32_t subjectWeight = 0;
    int32_t startTime = 0;  // of the selected attempt, seconds since 1970 (low 32 bits)
    int32_t selectedAttempt = 0;
};

// The whole "noname.xml" document of the table on screen.
std::string buildTableDocument(const TableContent& table, const ExportHeading& heading);

// "analysis.xml": one data row per attempt of every data set added, in order.
class BatchDocument {
public:
    explicit BatchDocument(float filterFrequency) : filterFrequency_(filterFrequency) {}

    // Appends the rows of every attempt of `store`; `subjectName` (UTF-8) heads the first row.
    void addDataSet(const MeasurementStore& store, const std::string& subjectName);
    int32_t rowCount() const { return rows_; }
    std::string document() const;

private:
    float filterFrequency_;
    std::string dataRows_;
    int32_t rows_ = 0;
};

// "Date: %s    Time: %s" pieces of a start time in local time.
std::string exportDate(int32_t startTime);
std::string exportTime(int32_t startTime);

}  // namespace kenvo
