// What `lorvaxen verify` tells of a graded symbol: a table for people, one JSON object for
// programs.
#pragma once

#include <string>
#include <vector>

#include "verify.h"
#include "verify_advice.h"

namespace lorvaxen {

// Everything a report of one image holds.
struct VerifyReport
{
    std::string image; // the file's name, as given
    std::string light; // "red (660 nm)"
    const verifier::Verification& verification;
    const Advice& advice;
    const std::vector<std::string>& warnings;
};

std::string fixedText(double value, int places);
// The symbol's grade as reported, cut to one decimal, with the letter of that: "2.4 (C)".
std::string gradeText(double grade);
// The resolution, the module and the aperture: "resolution 600 dpi; module 8.00 px; ..."
std::string opticsText(const verifier::Verification& verification, const std::string& light);
std::string editionText(verifier::Edition edition);

std::string reportText(const VerifyReport& report);
std::string reportJson(const VerifyReport& report);

} // namespace lorvaxen
