// The traces of `torva-port record` and `check --trace`: CSV and VCD.
#include "tools/trace.h"

#include "tools/port_args.h"

namespace trace {
namespace {

class CsvWriter : public Writer {
public:
    CsvWriter(std::ostream& out, const std::vector<Channel>& channels) : Writer(out, channels) {
        out_ << "ms";
        for (const Channel& channel : channels_) out_ << ',' << channel.name();
        out_ << '\n' << std::flush;
    }
    // A last row at the end time, as a VCD ends with it: the values held until then.
    void finish(Millis at) override {
        if (!values_.empty() && at != last_at_) row(at, values_);
        out_ << std::flush;
    }

protected:
    void changed(Millis at, const std::vector<int>& values, const std::vector<bool>&) override {
        row(at, values);
        values_ = values;
        last_at_ = at;
    }

private:
    void row(Millis at, const std::vector<int>& values) {
        out_ << at;
        for (int value : values) out_ << ',' << value;
        out_ << '\n' << std::flush;
    }
    std::vector<int> values_;
    Millis last_at_ = -1;
};

// VCD's identifier codes: printable ASCII from '!', one or more characters.
std::string code_of(std::size_t index) {
    std::string code;
    do {
        code += static_cast<char>('!' + index % 94);
        index /= 94;
    } while (index > 0);
    return code;
}

std::string bits(int value, int width) {
    std::string text = "b";
    for (int bit = width - 1; bit >= 0; --bit) text += (static_cast<unsigned>(value) >> bit) & 1 ? '1' : '0';
    return text;
}

class VcdWriter : public Writer {
public:
    VcdWriter(std::ostream& out, const std::vector<Channel>& channels, const std::string& version)
        : Writer(out, channels) {
        out_ << "$version " << version << " $end\n$timescale 1 ms $end\n$scope module ports $end\n";
        for (std::size_t i = 0; i < channels_.size(); ++i) {
            std::string name = "port_" + channels_[i].name();
            for (char& c : name) c = c == '/' ? '_' : c;
            out_ << "$var wire " << width(i) << ' ' << code_of(i) << ' ' << name << " $end\n";
        }
        out_ << "$upscope $end\n$enddefinitions $end\n" << std::flush;
    }
    void finish(Millis at) override {
        if (at != last_at_) out_ << '#' << at << '\n';
        out_ << std::flush;
    }

protected:
    void changed(Millis at, const std::vector<int>& values, const std::vector<bool>& which) override {
        if (first_ || at != last_at_) out_ << '#' << at << '\n';
        last_at_ = at;
        out_ << (first_ ? "$dumpvars\n" : "");
        for (std::size_t i = 0; i < values.size(); ++i)
            if (which[i]) out_ << bits(values[i], width(i)) << ' ' << code_of(i) << '\n';
        out_ << (first_ ? "$end\n" : "") << std::flush;
        first_ = false;
    }

private:
    int width(std::size_t i) const { return channels_[i].word ? 16 : 8; }
    bool first_ = true;
    Millis last_at_ = -1;
};

}  // namespace

std::string Channel::name() const {
    return std::to_string(port) + (word ? "/" + std::to_string(port + 1) : "");
}

Channel parse_channel(const std::string& text) {
    const auto slash = text.find('/');
    if (slash == std::string::npos) return {port_args::parse_port(text), false};
    const io::Port low = port_args::parse_port(text.substr(0, slash), port_args::kLastPort - 1);
    const io::Port high = port_args::parse_port(text.substr(slash + 1));
    if (high != low + 1)
        throw port_args::UsageError("invalid word '" + text +
                                    "': two ports one after the other are expected (117/118)");
    return {low, true};
}

Format format_of(const std::string& file) {
    return file.size() >= 4 && (file.ends_with(".vcd") || file.ends_with(".VCD")) ? Format::Vcd : Format::Csv;
}

void Writer::sample(Millis at, const std::vector<int>& values) {
    std::vector<bool> which(values.size(), last_.empty());
    bool any = last_.empty();
    for (std::size_t i = 0; i < last_.size(); ++i) any |= which[i] = values[i] != last_[i];
    if (!any) return;
    last_ = values;
    changed(at, values, which);
}

std::unique_ptr<Writer> make_writer(Format format, std::ostream& out, const std::vector<Channel>& channels,
                                    const std::string& version) {
    if (format == Format::Vcd) return std::make_unique<VcdWriter>(out, channels, version);
    return std::make_unique<CsvWriter>(out, channels);
}

}  // namespace trace
