#include "crashdump/dump_file_name.h"

#include "platform/dump/safe_file.h"

namespace corvane {
namespace {

// More same-second dumps than this in one folder are not kept.
constexpr unsigned kMaxAttempts = 1000;

}  // namespace

void FormatDumpFileName(platform::dump::SafeText& text, const char* programName, const platform::dump::CivilTime& time,
                        const char* versionTag, unsigned attempt) {
    if (programName != nullptr && programName[0] != '\0') {
        text.Append('[').Append(programName).Append(']');
    }
    text.Append('[')
        .AppendDecimal(static_cast<unsigned>(time.year), 4)
        .AppendDecimal(static_cast<unsigned>(time.month), 2)
        .AppendDecimal(static_cast<unsigned>(time.day), 2)
        .AppendDecimal(static_cast<unsigned>(time.hour), 2)
        .AppendDecimal(static_cast<unsigned>(time.minute), 2)
        .AppendDecimal(static_cast<unsigned>(time.second), 2)
        .Append(']');
    text.Append('[').Append(versionTag != nullptr ? versionTag : "").Append(']');
    if (attempt > 1) {
        text.Append('_').AppendDecimal(attempt);
    }
    text.Append(".dmp");
}

int CreateDumpFile(const char* folder, const char* programName, const platform::dump::CivilTime& time,
                   const char* versionTag, char* path, std::size_t capacity) {
    if (folder == nullptr || folder[0] == '\0' || !platform::dump::MakeDirectories(folder)) {
        return -1;
    }
    for (unsigned attempt = 1; attempt <= kMaxAttempts; ++attempt) {
        platform::dump::SafeText text(path, capacity);
        text.Append(folder);
        if (text.Length() > 0 && text.Text()[text.Length() - 1] != '/') {
            text.Append('/');
        }
        FormatDumpFileName(text, programName, time, versionTag, attempt);
        if (!text.Ok()) {
            return -1;
        }
        int fd = -1;
        switch (platform::dump::CreateNewFile(text.Text(), &fd)) {
            case platform::dump::NewFileResult::Created:
                return fd;
            case platform::dump::NewFileResult::Exists:
                continue;
            case platform::dump::NewFileResult::Failed:
                return -1;
        }
    }
    return -1;
}

}  // namespace corvane
