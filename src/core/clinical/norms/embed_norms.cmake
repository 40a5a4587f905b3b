# Turns the norms table (CSV) into C++: the definition of kenvo::normsTable() holding every row
# as literals, so the program reads no file at run time. Run as
#   cmake -DINPUT=norms_table.csv -DOUTPUT=norms_table_data.cpp -P embed_norms.cmake
# A table that does not have the expected header, names or numbers, or lacks a row or repeats
# one, stops the build.

cmake_minimum_required(VERSION 3.22)

file(STRINGS "${INPUT}" lines)
list(LENGTH lines count)
if(count LESS 2)
    message(FATAL_ERROR "${INPUT}: no rows")
endif()
list(GET lines 0 header)
if(NOT header STREQUAL "age_group,vision,surface,measure,n,mean,sd,p5,p25,p50,p75,p95")
    message(FATAL_ERROR "${INPUT}: unexpected header '${header}'")
endif()
list(REMOVE_AT lines 0)

set(number "-?[0-9]+(\\.[0-9]+)?(e[-+][0-9]+)?")
set(rows "")
set(keys "")
set(line_number 1)
foreach(line IN LISTS lines)
    math(EXPR line_number "${line_number} + 1")
    string(REPLACE "," ";" cells "${line}")
    list(LENGTH cells cell_count)
    if(NOT cell_count EQUAL 12)
        message(FATAL_ERROR "${INPUT}:${line_number}: ${cell_count} cells instead of 12")
    endif()
    list(GET cells 0 group)
    list(GET cells 1 vision)
    list(GET cells 2 surface)
    list(GET cells 3 measure)
    list(GET cells 4 subjects)
    if(NOT group MATCHES "^(Young|Old)$" OR NOT vision MATCHES "^(Open|Closed)$"
       OR NOT surface MATCHES "^(Firm|Foam)$" OR NOT subjects MATCHES "^[1-9][0-9]*$")
        message(FATAL_ERROR "${INPUT}:${line_number}: unexpected row '${line}'")
    endif()
    if(measure STREQUAL "area95_mm2")
        set(measure_name Area95)
    elseif(measure STREQUAL "velocity_mm_s")
        set(measure_name Velocity)
    elseif(measure STREQUAL "mean_freq_hz")
        set(measure_name MeanFrequency)
    else()
        message(FATAL_ERROR "${INPUT}:${line_number}: unknown measure '${measure}'")
    endif()
    set(key "${group}/${vision}/${surface}/${measure}")
    if(key IN_LIST keys)
        message(FATAL_ERROR "${INPUT}:${line_number}: ${key} a second time")
    endif()
    list(APPEND keys "${key}")
    set(values "")
    foreach(index RANGE 5 11)
        list(GET cells ${index} value)
        if(NOT value MATCHES "^${number}$")
            message(FATAL_ERROR "${INPUT}:${line_number}: '${value}' is not a number")
        endif()
        list(APPEND values "${value}")
    endforeach()
    list(GET values 0 mean)
    list(GET values 1 sd)
    list(SUBLIST values 2 5 cuts)
    list(JOIN cuts ", " cuts)
    string(APPEND rows
        "    {AgeGroup::${group}, Vision::${vision}, StanceSurface::${surface}, NormMeasure::${measure_name}, "
        "${subjects}, ${mean}, ${sd}, {${cuts}}},\n")
endforeach()

# Every age group x vision x surface x measure, each once.
list(LENGTH keys row_count)
if(NOT row_count EQUAL 24)
    message(FATAL_ERROR "${INPUT}: ${row_count} rows instead of 2 x 2 x 2 x 3 = 24")
endif()

file(WRITE "${OUTPUT}"
"// Generated from clinical/norms/norms_table.csv by embed_norms.cmake; do not edit.
// Reference values derived from Santos DA, Duarte M. A public data set of human balance
// evaluations. PeerJ 4:e2648 (2016), doi 10.7717/peerj.2648; CC BY 4.0.
#include \"clinical/norms.h\"

namespace kenvo {

namespace {

constexpr NormRow Rows[] = {
${rows}};

}  // namespace

std::span<const NormRow> normsTable() {
    return Rows;
}

}  // namespace kenvo
")
