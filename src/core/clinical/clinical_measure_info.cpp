#include "clinical/clinical_measures.h"

namespace kenvo {

namespace {

constexpr std::array<ClinicalMeasureInfo, ClinicalMeasureCount> Info = {{
    {"n", "samples", "", "number of samples"},
    {"duration_s", "duration", "s", "n / 100 Hz"},
    {"mean_x_mm", "mean X", "mm", "mean of X, medio-lateral"},
    {"mean_y_mm", "mean Y", "mm", "mean of Y, antero-posterior"},
    {"path_mm", "path length", "mm", "sum of the distances between successive samples"},
    {"path_x_mm", "path length X", "mm", "sum of |dX| between successive samples"},
    {"path_y_mm", "path length Y", "mm", "sum of |dY| between successive samples"},
    {"velocity_mm_s", "mean velocity", "mm/s", "path length / duration"},
    {"velocity_x_mm_s", "mean velocity X", "mm/s", "path length X / duration"},
    {"velocity_y_mm_s", "mean velocity Y", "mm/s", "path length Y / duration"},
    {"rms_x_mm", "RMS X", "mm", "root mean square of X about its mean"},
    {"rms_y_mm", "RMS Y", "mm", "root mean square of Y about its mean"},
    {"rms_mm", "RMS distance", "mm", "root mean square distance from the mean point"},
    {"range_x_mm", "range X", "mm", "largest minus smallest X"},
    {"range_y_mm", "range Y", "mm", "largest minus smallest Y"},
    {"mean_distance_mm", "mean distance", "mm", "mean distance from the mean point"},
    {"area95_mm2", "95 % ellipse area", "mm2", "area of the 95 % prediction ellipse"},
    {"ellipse_major_mm", "ellipse major semi-axis", "mm", "major semi-axis of that ellipse"},
    {"ellipse_minor_mm", "ellipse minor semi-axis", "mm", "minor semi-axis of that ellipse"},
    {"ellipse_angle_deg", "ellipse angle", "deg",
     "direction of the major axis from +X, -90..90; none when round"},
    {"sway_area_per_s_mm2_s", "sway area per second", "mm2/s",
     "area swept about the mean point per second"},
    {"mean_freq_x_hz", "mean frequency X", "Hz", "mean power frequency of X"},
    {"mean_freq_y_hz", "mean frequency Y", "Hz", "mean power frequency of Y"},
    {"mean_freq_hz", "mean frequency", "Hz",
     "mean power frequency of X and Y, weighted by their power"},
    {"median_freq_x_hz", "median frequency X", "Hz", "half of the power of X lies below it"},
    {"median_freq_y_hz", "median frequency Y", "Hz", "half of the power of Y lies below it"},
    {"freq95_x_hz", "95 % frequency X", "Hz", "95 % of the power of X lies below it"},
    {"freq95_y_hz", "95 % frequency Y", "Hz", "95 % of the power of Y lies below it"},
    {"prieto_freq_hz", "Prieto frequency", "Hz", "mean velocity / (2 pi mean distance)"},
}};

}  // namespace

std::span<const ClinicalMeasureInfo, ClinicalMeasureCount> clinicalMeasureInfo() {
    return Info;
}

const ClinicalMeasureInfo& clinicalMeasureInfo(ClinicalMeasure m) {
    return Info[static_cast<std::size_t>(m)];
}

}  // namespace kenvo
