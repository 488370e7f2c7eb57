// Finds out why an app does not see or show the camera, one line a check, and mends what it can.
//   orvanecam-doctor [--fix | --purge] [--json]
// --fix mends what the checks found (registers again from the DLL beside this program, removes
// keys that point at a missing DLL or were left by an uninstall, duplicate device keys, an ended
// producer in a block, an unloadable vacant picture) and checks again. --purge removes every key
// and file any version wrote. --json prints the same as JSON. Exit status: 0 healthy, 1 problems
// found, 2 could not check (or a bad command line).
#include <cstdio>

#include "common/command_line.h"
#include "doctor/purge.h"
#include "doctor/registration_check.h"
#include "doctor/runtime_check.h"
#include "doctor/system_camera_api.h"

namespace {

using namespace orvanecam::tools;
using doctor::Report;
using doctor::Verdict;

constexpr char kUsage[] = "usage: orvanecam-doctor [--fix | --purge] [--json]\n";

Report RunChecks() {
    Report report;
    doctor::CheckRegistration(report);
    const std::vector<int> cameras = doctor::CamerasToLook();
    doctor::CheckSettings(cameras, report);
    doctor::CheckSharedBlocks(cameras, report);
    doctor::CheckSystemCameraApis(cameras, report);
    return report;
}

// Mends what found has a mend for, each into mended as a line of its own.
void Mend(const Report& found, Report& mended) {
    for (const doctor::Finding& finding : found.Findings()) {
        if (finding.verdict != Verdict::kProblem || !finding.mend) continue;
        const std::string failure = finding.mend();
        mended.Add({"mended " + finding.check, failure.empty() ? Verdict::kOk : Verdict::kProblem,
                    failure.empty() ? finding.found : "could not: " + failure});
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (AnswersVersion(argc, argv, "orvanecam-doctor")) return 0;
    CommandLine options;
    if (!options.Parse(argc, argv, {}, {"--fix", "--purge", "--json"}) ||
        (options.Has("--fix") && options.Has("--purge"))) {
        std::fputs(kUsage, stderr);
        return 2;
    }
    const bool json = options.Has("--json");
    Report report;
    if (options.Has("--purge")) {
        doctor::Purge(report);
    } else if (options.Has("--fix")) {
        const Report before = RunChecks();
        if (!json) std::fputs(before.Text().c_str(), stdout);
        Report mended;
        Mend(before, mended);
        if (!json) std::printf("\nmending:\n%s\nafter mending:\n", mended.Text().c_str());
        for (const auto& finding : mended.Findings()) {
            if (json || finding.verdict == Verdict::kProblem) report.Add(finding);
        }
        const Report after = RunChecks();
        for (const auto& finding : after.Findings()) report.Add(finding);
    } else {
        report = RunChecks();
    }
    std::fputs(json ? report.Json().c_str() : report.Text().c_str(), stdout);
    return report.ExitStatus();
}
