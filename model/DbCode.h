// Conversions between attenuation in dB and control codes.
#pragma once

#include <cstddef>
#include <string_view>

#include "Catalogue.h"

namespace stepctl {

struct DbScan {
    float value = 0.0f;      // the number as a 32-bit float; 0 when there is none
    std::size_t length = 0;  // characters taken, leading white space included; 0: no number
};

// Reads the longest leading number the way atof does: white space skipped, an optional sign,
// digits with an optional point and decimals, an optional exponent; "inf", "infinity" and "nan"
// as atof knows them. The separator is always the point, whatever the locale. Hexadecimal forms
// are not numbers here ("0x10" reads as 0). Values beyond the float range become infinite.
DbScan scanDb(std::string_view text);

inline float parseDb(std::string_view text) {
    return scanDb(text).value;
}

// Code within 0..top code of the row.
int clampCode(int row, int code);

// Scales by the row in single precision, truncates toward zero and clamps. Every float gives a
// code within 0..top: NaN gives 0, +inf the top code.
int codeFromDb(int row, float db);

inline int codeFromDbText(int row, std::string_view text) {
    return codeFromDb(row, parseDb(text));
}

// code x step, formed in double precision and stored as float.
float dbFromCode(Group group, int code);
float dbFromCode(int row, int code);

}  // namespace stepctl
