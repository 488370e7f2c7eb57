// What the doctor's report adds up to, and its JSON as support scripts read it: Windows paths and
// names with quotes must come out as valid strings.
#include <gtest/gtest.h>

#include "doctor/report.h"

namespace orvanecam::tools::doctor {
namespace {

TEST(DoctorReportTest, TheExitStatusIsTheWorstFinding) {
    Report report;
    EXPECT_EQ(report.ExitStatus(), 0);
    report.Add({"a", Verdict::kOk, "fine"});
    report.Add({"b", Verdict::kNote, "worth knowing"});
    EXPECT_EQ(report.ExitStatus(), 0);
    report.Add({"c", Verdict::kUnchecked, "could not look"});
    EXPECT_EQ(report.ExitStatus(), 2);
    report.Add({"d", Verdict::kProblem, "broken"});
    EXPECT_EQ(report.ExitStatus(), 1);
}

TEST(DoctorReportTest, JsonEscapesPathsQuotesAndControlCharacters) {
    Report report;
    report.Add({"registration", Verdict::kProblem,
                "\"Hall \\ Cam\" at C:\\gone\\OrvaneCam.dll\n\x01", "run install.cmd"});
    EXPECT_EQ(report.Json(),
              "{\n  \"status\": \"problems\",\n  \"checks\": [\n"
              "    {\"check\": \"registration\", \"result\": \"problem\", \"found\": "
              "\"\\\"Hall \\\\ Cam\\\" at C:\\\\gone\\\\OrvaneCam.dll\\u000a\\u0001\", "
              "\"advice\": \"run install.cmd\"}\n  ]\n}\n");
    EXPECT_EQ(report.Text(),
              "[problem] registration: \"Hall \\ Cam\" at C:\\gone\\OrvaneCam.dll\n\x01\n"
              "    -> run install.cmd\n");
}

}  // namespace
}  // namespace orvanecam::tools::doctor
