#pragma once
// The entry timer's state file: one small text file per program beside the settings
// ($XDG_CONFIG_HOME/Kestovar/, the registry file's folder), rewritten atomically (temporary
// file, flush, rename in the same folder) on every change of the timer.
//
// Layout: lines "key value" ending in "\n", in this order; repeated keys in their order.
//   QuillmarTimer 1                   first line: the layout's name and version
//   phase idle|running|paused|stopping
//   project TEXT / category TEXT / description TEXT
//   start TICKS LOCAL                 first start: UTC file-time ticks, local "yyyy-mm-dd hh:mm:ss"
//   pause FROM TO                     one line per ended pause, in UTC ticks
//   paused SINCE                      start of the open pause
//   activity TICKS LOCAL              the user's last interaction
//   idle-checked TICKS                run time at the last idle decision
//   stopped TICKS LOCAL               the stop, while its entry is being saved
//   entry TEXT                        RefID of that entry
//   recent TEXT                       one line per recent project, most recent first
//   check HEX                         FNV-1a (64 bits) of every byte before this line
// TEXT is UTF-8 with "\\", "\n", "\r" and other control characters escaped (\xHH). A file that
// does not read back exactly this way (cut short, altered, another version) is damaged.
#include <string>

#include "biz/BizExport.h"
#include "biz/TimerState.h"

struct QUILLMAR_BIZ_EXPORT CTimerStateLoad {
    enum class Status {
        Missing,      // no file: a fresh state
        Loaded,       // `state` holds what the file held
        Damaged,      // the file did not read back; it was moved aside to `keptAs` when possible
        Unreadable,   // the file exists but could not be read
    };
    Status status = Status::Missing;
    CTimerState state;    // a fresh state unless Loaded
    std::string reason;   // Damaged / Unreadable: what was wrong, in English
    std::string keptAs;   // Damaged: where the file now lies; empty when it could not be moved
};

class QUILLMAR_BIZ_EXPORT CTimerStateFile {
public:
    explicit CTimerStateFile(std::string path);

    // This program's state file: "Quillmar-desktop.timer" (desktop build of the library) or
    // "Quillmar-device.timer" (device build) in the registry file's folder.
    static std::string DefaultPath();
    const std::string& Path() const { return m_path; }

    // Reads the file. A damaged file is moved to "<path>.damaged" (replacing an older one) so
    // that the next write cannot overwrite what it may still tell by hand.
    CTimerStateLoad Load() const;
    // Writes the state atomically (the folder is made when missing; the file is the user's
    // only). false when it could not be written; the previous file is then left as it was.
    bool Save(const CTimerState& state) const;

    static std::string Encode(const CTimerState& state);
    // true and `state` filled when `bytes` are a whole, intact state; otherwise false with
    // `reason` saying what was wrong (and `state` unspecified).
    static bool Decode(const std::string& bytes, CTimerState& state, std::string& reason);

private:
    std::string m_path;
};
