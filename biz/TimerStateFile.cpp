#include "biz/TimerStateFile.h"

#include <sys/stat.h>

#include <cerrno>
#include <charconv>
#include <cstdio>
#include <set>
#include <string_view>

#include "platform/Paths.h"
#include "platform/Registry.h"

namespace {

constexpr std::string_view kHeader = "QuillmarTimer 1";
constexpr std::string_view kCheckKey = "check";

const char* const kPhaseNames[] = {"idle", "running", "paused", "stopping"};   // by CTimerState::Phase

std::string ParentOf(const std::string& path) {
    const size_t slash = path.find_last_of('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

uint64_t Fnv1a64(std::string_view bytes) {
    uint64_t hash = 0xcbf29ce484222325ULL;
    for (const unsigned char byte : bytes) {
        hash ^= byte;
        hash *= 0x100000001b3ULL;
    }
    return hash;
}

std::string Hex64(uint64_t value) {
    char text[17];
    std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(value));
    return text;
}

// ---- writing

std::string EscapeText(const CString& text) {
    std::string out;
    for (const char byte : text.ToUtf8()) {
        const auto code = static_cast<unsigned char>(byte);
        if (byte == '\\') {
            out += "\\\\";
        } else if (byte == '\n') {
            out += "\\n";
        } else if (byte == '\r') {
            out += "\\r";
        } else if (code < 0x20 || code == 0x7F) {
            char escaped[5];
            std::snprintf(escaped, sizeof escaped, "\\x%02X", code);
            out += escaped;
        } else {
            out += byte;
        }
    }
    return out;
}

std::string LocalText(const COleDateTime& local) {
    if (local.GetStatus() != COleDateTime::valid)
        return "-";
    char text[32];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d", local.GetYear(), local.GetMonth(),
                  local.GetDay(), local.GetHour(), local.GetMinute(), local.GetSecond());
    return text;
}

std::string InstantText(const CTimerInstant& instant) {
    return std::to_string(instant.utc) + " " + LocalText(instant.local);
}

class LineWriter {
public:
    void Add(std::string_view key, const std::string& value) {
        m_text.append(key).append(" ").append(value).append("\n");
    }
    void AddText(std::string_view key, const CString& value) { Add(key, EscapeText(value)); }
    std::string Finish() {
        const uint64_t check = Fnv1a64(m_text);
        Add(kCheckKey, Hex64(check));
        return std::move(m_text);
    }

private:
    std::string m_text = std::string(kHeader) + "\n";
};

void WriteTimer(LineWriter& out, const CTimerState& state) {
    out.AddText("project", state.projectRef);
    out.AddText("category", state.categoryRef);
    out.AddText("description", state.description);
    out.Add("start", InstantText(state.firstStart));
    for (const CTimerPause& pause : state.pauses)
        out.Add("pause", std::to_string(pause.from) + " " + std::to_string(pause.to));
    if (state.phase == CTimerState::Phase::Paused)
        out.Add("paused", std::to_string(state.pausedSince));
    out.Add("activity", InstantText(state.lastActivity));
    out.Add("idle-checked", std::to_string(state.idleCheckedTicks));
    if (state.phase == CTimerState::Phase::Stopping) {
        out.Add("stopped", InstantText(state.stoppedAt));
        out.AddText("entry", state.entryRefId);
    }
}

// ---- reading

bool UnescapeText(std::string_view text, CString& value) {
    std::string bytes;
    for (size_t i = 0; i < text.size(); ++i) {
        const auto code = static_cast<unsigned char>(text[i]);
        if (code < 0x20 || code == 0x7F)
            return false;
        if (text[i] != '\\') {
            bytes += text[i];
            continue;
        }
        if (++i >= text.size())
            return false;
        if (text[i] == '\\') {
            bytes += '\\';
        } else if (text[i] == 'n') {
            bytes += '\n';
        } else if (text[i] == 'r') {
            bytes += '\r';
        } else if (text[i] == 'x' && i + 2 < text.size()) {
            unsigned escaped = 0;
            const auto [end, error] = std::from_chars(text.data() + i + 1, text.data() + i + 3, escaped, 16);
            if (error != std::errc() || end != text.data() + i + 3)
                return false;
            bytes += static_cast<char>(escaped);
            i += 2;
        } else {
            return false;
        }
    }
    value = CString::FromUtf8(bytes);
    return true;
}

bool ParseTicks(std::string_view text, int64_t& ticks) {
    if (text.empty())
        return false;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), ticks);
    return error == std::errc() && end == text.data() + text.size();
}

bool ParseLocal(std::string_view text, COleDateTime& local) {
    if (text == "-") {
        local.SetStatus(COleDateTime::invalid);
        return true;
    }
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
    char tail = 0;
    const std::string copy(text);
    if (text.size() != 19 || std::sscanf(copy.c_str(), "%4d-%2d-%2d %2d:%2d:%2d%c", &year, &month, &day, &hour,
                                         &minute, &second, &tail) != 6)
        return false;
    local = COleDateTime(year, month, day, hour, minute, second);
    return local.GetStatus() == COleDateTime::valid && LocalText(local) == text;
}

bool ParseInstant(std::string_view text, CTimerInstant& instant) {
    const size_t space = text.find(' ');
    return space != std::string_view::npos && ParseTicks(text.substr(0, space), instant.utc) &&
           ParseLocal(text.substr(space + 1), instant.local);
}

bool ParsePause(std::string_view text, CTimerPause& pause) {
    const size_t space = text.find(' ');
    return space != std::string_view::npos && ParseTicks(text.substr(0, space), pause.from) &&
           ParseTicks(text.substr(space + 1), pause.to);
}

bool ParsePhase(std::string_view text, CTimerState::Phase& phase) {
    for (int i = 0; i < 4; ++i) {
        if (text == kPhaseNames[i]) {
            phase = static_cast<CTimerState::Phase>(i);
            return true;
        }
    }
    return false;
}

// Reads one "key value" line into the state; false for an unknown key or a malformed value.
bool ReadLine(std::string_view key, std::string_view value, CTimerState& state) {
    if (key == "phase")
        return ParsePhase(value, state.phase);
    if (key == "project")
        return UnescapeText(value, state.projectRef);
    if (key == "category")
        return UnescapeText(value, state.categoryRef);
    if (key == "description")
        return UnescapeText(value, state.description);
    if (key == "start")
        return ParseInstant(value, state.firstStart);
    if (key == "pause") {
        CTimerPause pause;
        state.pauses.push_back(pause);
        return ParsePause(value, state.pauses.back());
    }
    if (key == "paused")
        return ParseTicks(value, state.pausedSince);
    if (key == "activity")
        return ParseInstant(value, state.lastActivity);
    if (key == "idle-checked")
        return ParseTicks(value, state.idleCheckedTicks);
    if (key == "stopped")
        return ParseInstant(value, state.stoppedAt);
    if (key == "entry")
        return UnescapeText(value, state.entryRefId);
    if (key == "recent") {
        state.recentProjects.emplace_back();
        return UnescapeText(value, state.recentProjects.back()) && !state.recentProjects.back().IsEmpty();
    }
    return false;
}

// The lines a state of each phase is written with (the repeated "pause" and "recent" aside).
std::set<std::string> ExpectedKeys(CTimerState::Phase phase) {
    std::set<std::string> keys = {"phase"};
    if (phase == CTimerState::Phase::Idle)
        return keys;
    keys.insert({"project", "category", "description", "start", "activity", "idle-checked"});
    if (phase == CTimerState::Phase::Paused)
        keys.insert("paused");
    if (phase == CTimerState::Phase::Stopping)
        keys.insert({"stopped", "entry"});
    return keys;
}

bool PausesAreOrdered(const CTimerState& state) {
    int64_t previousEnd = state.firstStart.utc;
    for (const CTimerPause& pause : state.pauses) {
        if (pause.from < previousEnd || pause.to < pause.from)
            return false;
        previousEnd = pause.to;
    }
    return state.phase != CTimerState::Phase::Paused || state.pausedSince >= previousEnd;
}

bool IsConsistent(const CTimerState& state, std::string& reason) {
    if (state.recentProjects.size() > static_cast<size_t>(CTimerState::kMaxRecentProjects)) {
        reason = "too many recent projects";
        return false;
    }
    if (state.phase == CTimerState::Phase::Idle)
        return true;
    if (state.projectRef.IsEmpty() || state.firstStart.local.GetStatus() != COleDateTime::valid) {
        reason = "the timer has no project or no start";
        return false;
    }
    if (!PausesAreOrdered(state)) {
        reason = "the pauses are out of order";
        return false;
    }
    if (state.phase == CTimerState::Phase::Stopping && state.entryRefId.IsEmpty()) {
        reason = "the stopped timer has no entry reference";
        return false;
    }
    return true;
}

// Splits off the final "check" line and verifies it; `body` is what it covers.
bool VerifyCheck(const std::string& bytes, std::string_view& body, std::string& reason) {
    if (bytes.empty() || bytes.back() != '\n') {
        reason = "the file is cut short";
        return false;
    }
    const size_t lineStart = bytes.rfind('\n', bytes.size() - 2);
    body = std::string_view(bytes).substr(0, lineStart == std::string::npos ? 0 : lineStart + 1);
    const std::string_view last = std::string_view(bytes).substr(body.size(), bytes.size() - body.size() - 1);
    if (last.substr(0, kCheckKey.size() + 1) != std::string(kCheckKey) + " ") {
        reason = "the file is cut short";
        return false;
    }
    if (last.substr(kCheckKey.size() + 1) != Hex64(Fnv1a64(body))) {
        reason = "the file's contents were altered";
        return false;
    }
    return true;
}

bool ReadBody(std::string_view body, CTimerState& state, std::string& reason) {
    std::multiset<std::string> seen;
    size_t position = 0;
    bool first = true;
    while (position < body.size()) {
        const size_t end = body.find('\n', position);
        const std::string_view line = body.substr(position, end - position);
        position = end + 1;
        if (first) {
            first = false;
            if (line != kHeader) {
                reason = "it is not a timer file of this version";
                return false;
            }
            continue;
        }
        const size_t space = line.find(' ');
        const std::string key(line.substr(0, space));
        if (space == std::string_view::npos || !ReadLine(key, line.substr(space + 1), state)) {
            reason = "a line cannot be read: " + std::string(line.substr(0, 40));
            return false;
        }
        if (key != "pause" && key != "recent")
            seen.insert(key);
    }
    const std::set<std::string> expected = ExpectedKeys(state.phase);
    if (first || std::set<std::string>(seen.begin(), seen.end()) != expected || seen.size() != expected.size() ||
        (state.phase == CTimerState::Phase::Idle && !state.pauses.empty())) {
        reason = "lines are missing or repeated";
        return false;
    }
    return IsConsistent(state, reason);
}

}   // namespace

CTimerStateFile::CTimerStateFile(std::string path) : m_path(std::move(path)) {}

std::string CTimerStateFile::DefaultPath() {
#ifdef QUILLMAR_DEVICE_BUILD
    const char* const name = "Quillmar-device.timer";
#else
    const char* const name = "Quillmar-desktop.timer";
#endif
    return ParentOf(Registry::FilePath()) + "/" + name;
}

std::string CTimerStateFile::Encode(const CTimerState& state) {
    LineWriter out;
    out.Add("phase", kPhaseNames[static_cast<int>(state.phase)]);
    if (state.phase != CTimerState::Phase::Idle)
        WriteTimer(out, state);
    for (const CString& project : state.recentProjects)
        out.AddText("recent", project);
    return out.Finish();
}

bool CTimerStateFile::Decode(const std::string& bytes, CTimerState& state, std::string& reason) {
    state = CTimerState();
    std::string_view body;
    return VerifyCheck(bytes, body, reason) && ReadBody(body, state, reason);
}

CTimerStateLoad CTimerStateFile::Load() const {
    CTimerStateLoad load;
    std::string bytes;
    if (!ReadWholeFile(m_path, bytes)) {
        struct stat info {};
        if (::lstat(m_path.c_str(), &info) != 0 && errno == ENOENT)
            return load;
        load.status = CTimerStateLoad::Status::Unreadable;
        load.reason = "the file cannot be read";
        return load;
    }
    if (Decode(bytes, load.state, load.reason)) {
        load.status = CTimerStateLoad::Status::Loaded;
        return load;
    }
    load.state = CTimerState();
    load.status = CTimerStateLoad::Status::Damaged;
    const std::string keptAs = m_path + ".damaged";
    if (std::rename(m_path.c_str(), keptAs.c_str()) == 0)
        load.keptAs = keptAs;
    return load;
}

bool CTimerStateFile::Save(const CTimerState& state) const {
    MakeFolders(ParentOf(m_path), 0700);
    return WriteFileAtomically(m_path, Encode(state), 0600);
}
