// A report or trace that torva-port writes: never half a file. It is
// written beside its place under a name of its own and moved into place
// whole when complete; until then an older file of the name stays as it was.
#pragma once

#include <fstream>
#include <stdexcept>
#include <string>

namespace report_file {

// The report could not be written (a full disk, a folder gone).
class WriteError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class ReportFile {
public:
    // Raises port_args::UsageError when the folder takes no file.
    explicit ReportFile(const std::string& name);
    ReportFile(const ReportFile&) = delete;
    ReportFile& operator=(const ReportFile&) = delete;
    // Removes the unfinished file, unless it was moved into place.
    ~ReportFile();

    std::ostream& stream() { return out_; }
    // Completes the file and moves it into place; raises WriteError.
    void commit();

private:
    std::string name_, part_;
    std::ofstream out_;
    bool committed_ = false;
};

// Whether two names are the same file (by identity: a link, a second name
// or another spelling of the path), or would be once written.
bool same_file(const std::string& a, const std::string& b);

}  // namespace report_file
