#pragma once
// What the doctor found: one finding a check, printed as lines for people or as JSON for support
// scripts, and the exit status they add up to.
#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace orvanecam::tools::doctor {

enum class Verdict {
    kOk,         // as it should be
    kNote,       // worth knowing, nothing to mend
    kProblem,    // why an app may not see or show the camera
    kUnchecked,  // the check could not be made
};

struct Finding {
    Finding(std::string checked, Verdict result, std::string what, std::string todo = {},
            std::function<std::string()> mending = {})
        : check(std::move(checked)),
          verdict(result),
          found(std::move(what)),
          advice(std::move(todo)),
          mend(std::move(mending)) {}

    std::string check;  // what was looked at
    Verdict verdict = Verdict::kOk;
    std::string found;   // what was found there
    std::string advice;  // what to do; empty when nothing
    // What --fix does about it: empty on success, else why it could not. None when it cannot.
    std::function<std::string()> mend;
};

class Report {
  public:
    void Add(Finding finding) { m_findings.push_back(std::move(finding)); }
    const std::vector<Finding>& Findings() const { return m_findings; }

    // 0 when nothing is wrong, 1 when a problem was found, 2 when nothing is wrong but a check
    // could not be made.
    int ExitStatus() const;
    // "[ok] check: found" a line, with "  -> advice" below a line that has advice.
    std::string Text() const;
    std::string Json() const;

  private:
    std::vector<Finding> m_findings;
};

}  // namespace orvanecam::tools::doctor
