// lorvaxen verify's run: grades the image and writes its report as text or JSON, and the plot
// and the one-page report when asked.
#include "verify_run.h"

#include <string>

#include "job.h"
#include "options.h"
#include "verify_label.h"
#include "verify_page.h"
#include "verify_plot.h"
#include "verify_text.h"

namespace lorvaxen::tool {
namespace {

using verifier::Verification;

// The pictures asked for: what went wrong, or an empty text.
std::string writePictures(const VerifyRequest& request, const verifier::ReflectanceImage& picture,
                          const VerifyReport& report)
{
    const Verification& v = report.verification;
    if (!request.plot.empty()) {
        if (auto problem = writeProfilePlot(v.scans[v.worstScan], v.pixelsPerMm, request.plot);
            !problem.empty()) {
            return problem;
        }
    }
    if (!request.report.empty()) {
        return writeReportPage(picture, report, request.report);
    }
    return {};
}

} // namespace

int runVerifyRequest(const VerifyRequest& request, std::ostream& out, std::ostream& err)
{
    VerifySettings settings;
    settings.symbology = request.symbology;
    settings.light = lightNamed(request.light).value_or(verifier::Light::Red);
    settings.dpi = request.dpi;
    settings.apertureMm = request.apertureMm;
    settings.xDimensionMm = request.xDimensionMm;
    settings.edition =
        request.edition == "2000" ? verifier::Edition::Y2000 : verifier::Edition::Y2016;
    settings.maxPixels = request.maxPixels;
    const std::string& image = request.image;
    const GradedImage graded = verifyFile(image, settings);
    if (!graded.picture) {
        err << "lorvaxen verify: " << graded.problem << "\n";
        return kExitFailure;
    }
    if (!graded.graded()) {
        err << "lorvaxen verify: " << image << ": " << graded.problem << "\n";
        return kExitFailure;
    }
    for (const std::string& warning : graded.warnings) {
        err << "lorvaxen verify: warning: " << warning << "\n";
    }
    const VerifyReport report{image, graded.light, graded.verification, graded.advice,
                              graded.warnings};
    out << (request.json ? reportJson(report) : reportText(report));
    int status = reportWritten(out, err) ? kExitSuccess : kExitFailure;
    if (std::string problem = writePictures(request, *graded.picture, report); !problem.empty()) {
        err << "lorvaxen verify: " << problem << "\n";
        status = kExitFailure;
    }
    if (status == kExitSuccess &&
        verifier::reportedGrade(graded.verification.grade) < request.minGrade) {
        status = kExitBelowMinimum;
    }
    return status;
}

} // namespace lorvaxen::tool
