// Randomized model-based test of the regular synchronisation. The desktop's store is this
// process's; the device's folder is served by a real quillmar-connectd; a separate process
// stands in for the device program and saves concurrently, also during synchronisation steps.
// Each seed runs random creations, edits and deletions (with their cascades) on both sides,
// interrupts random synchronisations at random steps, and after every completed one checks
// against what the user did: both files hold the same records, nothing dangles, every edit is
// there unless the conflict rule (the desktop wins a both-sides edit; an edit beats a
// deletion) overrode it, deletions not overridden took effect, and nothing is duplicated.
// QUILLMAR_SYNC_SEEDS (default 50) seeds from QUILLMAR_SYNC_SEED_BASE (default 1); a failure
// prints its seed and the operation log.
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <map>
#include <random>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "biz/Client.h"
#include "biz/DataHelper.h"
#include "biz/Project.h"
#include "biz/ProjectItem.h"
#include "biz/SyncHelper.h"
#include "connection/Rapi.h"
#include "sync/e2e/SyncE2eFixture.h"
#include "testing/TestFiles.h"

extern char** environ;

namespace {

using Key = DataSnapshot::Key;

// The device program stand-in, spoken to line by line.
class DeviceProgram {
public:
    explicit DeviceProgram(const std::string& dataFolder) {
        int toChild[2];
        int fromChild[2];
        if (::pipe(toChild) != 0 || ::pipe(fromChild) != 0)
            return;
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, toChild[0], 0);
        posix_spawn_file_actions_adddup2(&actions, fromChild[1], 1);
        posix_spawn_file_actions_addclose(&actions, toChild[1]);
        posix_spawn_file_actions_addclose(&actions, fromChild[0]);
        // Only the child works on the device's folder; this process stays on the desktop's.
        const char* previous = std::getenv("QUILLMAR_DATA_DIR");
        const std::string saved = previous ? previous : "";
        ::setenv("QUILLMAR_DATA_DIR", dataFolder.c_str(), 1);
        char* argv[] = {const_cast<char*>(QUILLMAR_STANDIN_PATH), nullptr};
        if (posix_spawn(&m_pid, QUILLMAR_STANDIN_PATH, &actions, nullptr, argv, environ) != 0)
            m_pid = -1;
        if (previous)
            ::setenv("QUILLMAR_DATA_DIR", saved.c_str(), 1);
        else
            ::unsetenv("QUILLMAR_DATA_DIR");
        posix_spawn_file_actions_destroy(&actions);
        ::close(toChild[0]);
        ::close(fromChild[1]);
        m_in = ::fdopen(toChild[1], "w");
        m_out = ::fdopen(fromChild[0], "r");
        m_ready = m_pid > 0 && ReadLine() == "ready";
    }
    ~DeviceProgram() {
        if (m_in)
            std::fclose(m_in);
        if (m_out)
            std::fclose(m_out);
        if (m_pid > 0) {
            ::kill(m_pid, SIGKILL);
            ::waitpid(m_pid, nullptr, 0);
        }
    }
    DeviceProgram(const DeviceProgram&) = delete;
    DeviceProgram& operator=(const DeviceProgram&) = delete;
    bool Ready() const { return m_ready; }
    std::string Ask(const std::string& command) {
        std::fprintf(m_in, "%s\n", command.c_str());
        std::fflush(m_in);
        return ReadLine();
    }

private:
    std::string ReadLine() {
        char buffer[512];
        if (!m_out || !std::fgets(buffer, sizeof buffer, m_out))
            return "fail";
        std::string line(buffer);
        while (!line.empty() && (line.back() == '\n' || line.back() == '\r'))
            line.pop_back();
        return line;
    }
    pid_t m_pid = -1;
    FILE* m_in = nullptr;
    FILE* m_out = nullptr;
    bool m_ready = false;
};

std::string Attribute(const std::string& element, const std::string& name) {
    const std::string marker = name + "=\"";
    const size_t at = element.find(marker);
    if (at == std::string::npos)
        return std::string();
    const size_t start = at + marker.size();
    return element.substr(start, element.find('"', start) - start);
}

// Records of a kind on a side, as the side's file holds them.
std::vector<std::string> RefIdsOf(const DataSnapshot& side, const std::string& kind) {
    std::vector<std::string> refIds;
    for (const auto& [key, text] : side.records) {
        if (key.first == kind)
            refIds.push_back(key.second);
    }
    return refIds;
}

// The record and what a deletion takes with it on that side (projects, then their entries).
std::set<Key> CascadeOf(const DataSnapshot& side, const Key& key) {
    std::set<Key> gone{key};
    std::set<std::string> projects;
    if (key.first == "project")
        projects.insert(key.second);
    for (const auto& [other, text] : side.records) {
        if (key.first == "client" && other.first == "project" && Attribute(text, "clientRef") == key.second) {
            projects.insert(other.second);
            gone.insert(other);
        }
    }
    for (const auto& [other, text] : side.records) {
        if (other.first == "projectItem" && projects.count(Attribute(text, "projectRef")))
            gone.insert(other);
    }
    return gone;
}

enum class Side { Desktop, Device };

class SyncModel : public SyncE2eTest {
protected:
    // What the user did on each side since the last completed synchronisation.
    struct Intent {
        std::map<Key, std::string> edits;   // last text typed
        std::set<Key> deletions;            // with their cascades
    };

    void Log(const std::string& line) { m_log << line << "\n"; }
    std::string Text(const char* prefix) { return std::string(prefix) + std::to_string(++m_counter); }
    // Device saves after the device serialised belong to the next synchronisation.
    Intent& IntentOf(Side side) {
        if (side == Side::Desktop)
            return m_desktop;
        return m_deviceAfterSerialise ? m_deviceNext : m_device;
    }
    DataSnapshot SnapshotOf(Side side) const { return side == Side::Desktop ? Desktop() : Device(); }

    void NoteEdit(Side side, const Key& key, const std::string& text) {
        IntentOf(side).edits[key] = text;
        IntentOf(side).deletions.erase(key);
    }
    void NoteDeletion(Side side, const std::set<Key>& gone) {
        for (const Key& key : gone) {
            IntentOf(side).deletions.insert(key);
            IntentOf(side).edits.erase(key);
        }
    }

    // One random operation on a side: add, edit or delete a client, project or entry.
    void RandomOperation(Side side) {
        const DataSnapshot before = SnapshotOf(side);
        const char* kinds[] = {"client", "project", "projectItem"};
        const std::string kind = kinds[Pick(3)];
        const std::vector<std::string> existing = RefIdsOf(before, kind);
        const int choice = Pick(10);
        const char* sideName = side == Side::Desktop ? "desktop" : "device";
        if (existing.empty() || choice < 3) {
            std::string parent;
            if (kind != "client") {
                const std::vector<std::string> parents = RefIdsOf(before, kind == "project" ? "client" : "project");
                if (parents.empty())
                    return;
                parent = parents[Pick(static_cast<int>(parents.size()))];
            }
            const std::string text = Text(side == Side::Desktop ? "dt" : "dv");
            const std::string refId = Create(side, kind, parent, text);
            Log(std::string(sideName) + " add " + kind + " " + refId + " under " + parent + " '" + text + "'");
            if (!refId.empty())
                NoteEdit(side, {kind, refId}, text);
            return;
        }
        const std::string refId = existing[Pick(static_cast<int>(existing.size()))];
        if (choice < 8) {
            const std::string text = Text(side == Side::Desktop ? "dt" : "dv");
            const bool done = Edit(side, kind, refId, text);
            Log(std::string(sideName) + " edit " + kind + " " + refId + " '" + text + "'" + (done ? "" : " (gone)"));
            if (done)
                NoteEdit(side, {kind, refId}, text);
            return;
        }
        const std::set<Key> gone = CascadeOf(before, {kind, refId});
        const bool done = Delete(side, kind, refId);
        Log(std::string(sideName) + " delete " + kind + " " + refId + (done ? "" : " (gone)"));
        if (done)
            NoteDeletion(side, gone);
    }

    std::string Create(Side side, const std::string& kind, const std::string& parent, const std::string& text) {
        if (side == Side::Device) {
            const std::string answer = m_program->Ask("add " + std::string(kind == "projectItem" ? "entry" : kind) +
                                                      " " + (parent.empty() ? text : parent + " " + text));
            return answer.rfind("ok ", 0) == 0 ? answer.substr(3) : std::string();
        }
        if (kind == "client") {
            CClient client;
            client.set_Description(CString::FromUtf8(text));
            return client.Save() ? client.get_RefID().ToUtf8() : std::string();
        }
        if (kind == "project") {
            CProject project;
            project.set_Description(CString::FromUtf8(text));
            project.set_ClientRef(CString::FromUtf8(parent));
            return project.Save() ? project.get_RefID().ToUtf8() : std::string();
        }
        CProjectItem entry;
        entry.set_Description(CString::FromUtf8(text));
        entry.set_ProjectRef(CString::FromUtf8(parent));
        return entry.Save() ? entry.get_RefID().ToUtf8() : std::string();
    }

    bool Edit(Side side, const std::string& kind, const std::string& refId, const std::string& text) {
        if (side == Side::Device)
            return m_program->Ask("edit " + kind + " " + refId + " " + text) == "ok";
        return OnDesktop(kind, refId, &text);
    }

    bool Delete(Side side, const std::string& kind, const std::string& refId) {
        if (side == Side::Device)
            return m_program->Ask("delete " + kind + " " + refId) == "ok";
        return OnDesktop(kind, refId, nullptr);
    }

    template <typename Record>
    static bool Change(const std::string& refId, const std::string* text) {
        Record record;
        record.set_ID(GetCurrDataHelper()->RefID_To_ID(CString::FromUtf8(refId), record.get_ElemName()));
        if (record.get_ID() == 0 || !record.Load())
            return false;
        if (!text)
            return record.Delete() == 1;
        record.set_Description(CString::FromUtf8(*text));
        return record.Save() == 1;
    }

    static bool OnDesktop(const std::string& kind, const std::string& refId, const std::string* text) {
        if (kind == "client")
            return Change<CClient>(refId, text);
        if (kind == "project")
            return Change<CProject>(refId, text);
        return Change<CProjectItem>(refId, text);
    }

    void Interrupt(int how) {
        switch (how) {
        case 0: machine->KillService(); break;
        case 1: machine->Proxy().Arm(LoopbackProxy::Fault::DropRequest); break;
        case 2: machine->Proxy().Arm(LoopbackProxy::Fault::DropAnswer); break;
        default: {
            SyncMachine* device = machine.get();
            machine->Proxy().Arm(LoopbackProxy::Fault::RunAfterRequest, 0, [device] { device->KillService(); });
        }
        }
    }

    // One synchronisation, interrupted at a random step or not, with device saves at random
    // steps. True when it completed.
    bool Synchronise(bool mayInterrupt) {
        const int interruptAt = mayInterrupt && Pick(2) == 0 ? Pick(9) : -1;
        const int how = Pick(4);
        Log("sync" + (interruptAt >= 0
                          ? " interrupted before step " + std::to_string(interruptAt) + " by " + std::to_string(how)
                          : std::string()));
        int result = CSyncHelper::SyncResult_Failed;
        // One connection serves synchronisations until one fails (as a desktop left running).
        if (!m_helper) {
            m_helper = std::make_unique<CSyncHelper>();
            if (m_helper->Initialize() != 1) {
                Log("  could not connect: " + m_helper->GetLastErrorText().ToUtf8());
                m_helper.reset();
                return false;
            }
        }
        m_deviceAfterSerialise = false;
        result = m_helper->PerformRegularSync([&](CSyncHelper::SyncStep step) {
            m_deviceAfterSerialise = step > CSyncHelper::SyncStep_DeviceSerialize;
            if (Pick(3) == 0) {
                Log("  during step " + std::to_string(step) + ":");
                RandomOperation(Side::Device);
            }
            if (step == CSyncHelper::SyncStep_DeviceCommit)
                ForgiveDeletionsOfRecordsCarried();
            if (static_cast<int>(step) == interruptAt)
                Interrupt(how);
        });
        m_deviceAfterSerialise = false;
        if (result != CSyncHelper::SyncResult_Done) {
            Log("  ended: " + m_helper->GetLastErrorText().ToUtf8());
            m_helper.reset();
            CeRapiUninit();
            if (DeviceCommittedThisRound()) {
                // Both sides hold each other's changes of this round; what the device program
                // saved after serialising is the next round's, as when the round completes.
                Log("  (the device had committed)");
                m_desktop = Intent();
                m_device = std::exchange(m_deviceNext, Intent());
            } else {
                MergeInto(m_device, m_deviceNext);
            }
        }
        machine->Proxy().Disarm();
        if (!machine->ServiceRunning()) {
            EXPECT_TRUE(machine->StartService()) << machine->Problem();
        }
        if (Pick(2) == 0)
            m_program->Ask("reload");
        return result == CSyncHelper::SyncResult_Done;
    }

    // What must hold after a completed synchronisation.
    void Check() {
        const DataSnapshot desktop = Desktop();
        const DataSnapshot device = Device();
        // Records the device program saved after the device serialised go next time.
        std::set<Key> unsent(m_deviceNext.deletions);
        for (const auto& [key, text] : m_deviceNext.edits)
            unsent.insert(key);
        // Their parents, which the device keeps for them, follow with them.
        for (int level = 0; level < 2; ++level) {
            for (const Key& key : std::set<Key>(unsent)) {
                const auto found = device.records.find(key);
                if (found == device.records.end())
                    continue;
                if (key.first == "projectItem")
                    unsent.insert({"project", Attribute(found->second, "projectRef")});
                if (key.first == "project")
                    unsent.insert({"client", Attribute(found->second, "clientRef")});
            }
        }
        std::set<Key> keys;
        for (const DataSnapshot* side : {&desktop, &device}) {
            for (const auto& [key, text] : side->records)
                keys.insert(key);
        }
        for (const Key& key : keys) {
            if (unsent.count(key))
                continue;
            const auto onDesktop = desktop.records.find(key);
            const auto onDevice = device.records.find(key);
            const bool same = onDesktop != desktop.records.end() && onDevice != device.records.end() &&
                              onDesktop->second == onDevice->second;
            EXPECT_TRUE(same) << key.first << " " << key.second << " differs between the sides: desktop '"
                              << (onDesktop == desktop.records.end() ? "(none)" : onDesktop->second) << "', device '"
                              << (onDevice == device.records.end() ? "(none)" : onDevice->second) << "'";
        }
        EXPECT_TRUE(desktop.markers.empty()) << "deletion markers left on the desktop";
        for (const Key& marker : device.markers)
            EXPECT_TRUE(unsent.count(marker)) << "deletion marker left on the device: " << marker.second;
        for (const DataSnapshot* side : {&desktop, &device}) {
            for (const auto& [key, text] : side->records) {
                const std::string project = Attribute(text, "projectRef");
                const std::string client = Attribute(text, "clientRef");
                if (key.first == "projectItem" && !project.empty()) {
                    EXPECT_TRUE(side->Has("project", project)) << key.second << " points at missing " << project;
                }
                if (key.first == "project" && !client.empty()) {
                    EXPECT_TRUE(side->Has("client", client)) << key.second << " points at missing " << client;
                }
            }
        }
        for (const auto& [key, text] : m_desktop.edits)
            EXPECT_EQ(desktop.Description(key.first, key.second), text) << "desktop edit of " << key.second;
        for (const auto& [key, text] : m_device.edits) {
            if (!m_desktop.edits.count(key)) {
                EXPECT_EQ(desktop.Description(key.first, key.second), text) << "device edit of " << key.second;
            }
        }
        for (const auto& [deleted, other] : {std::pair{&m_desktop, &m_device}, std::pair{&m_device, &m_desktop}}) {
            for (const Key& key : deleted->deletions) {
                if (other->edits.count(key) || !desktop.Has(key.first, key.second) || unsent.count(key))
                    continue;
                EXPECT_TRUE(key.first != "projectItem" && IsReferenced(desktop, key))
                    << key.first << " " << key.second << " was deleted and is still there";
            }
        }
        ExpectNoDuplicates(machine->DesktopDataFile());
        ExpectNoDuplicates(machine->DeviceDataFile());
        m_desktop = Intent();
        m_device = std::exchange(m_deviceNext, Intent());
    }

    // The records a change file carries, as changes or as the parents sent along.
    static std::vector<Key> RecordsCarried(const std::string& path) {
        const std::string text = ReadFileBytes(path);
        std::vector<Key> carried;
        std::istringstream items(Attribute(text.substr(0, text.find('>')), "context"));
        std::string item;
        while (items >> item) {
            const size_t slash = item.find('/');
            carried.emplace_back(item.substr(0, slash), item.substr(slash + 1));
        }
        static const std::regex record("<(client|project|projectItem|category) id=\"\\d+\" refId=\"([^\"]*)\"");
        for (auto it = std::sregex_iterator(text.begin(), text.end(), record); it != std::sregex_iterator(); ++it)
            carried.emplace_back((*it)[1].str(), (*it)[2].str());
        return carried;
    }

    // Before the device commits, both sides' change files have been applied here: a record the
    // device's file brought back here overrides this computer's deletion of it, and one this
    // computer's file brings back on the device overrides a deletion the device program made
    // after the device serialised, since an edit beats a deletion.
    void ForgiveDeletionsOfRecordsCarried() {
        for (const Key& key : RecordsCarried(machine->DesktopFile("device.xml"))) {
            if (m_desktop.deletions.erase(key))
                Log("  (this computer's deletion of " + key.second + " is overridden by the device's changes)");
        }
        for (const Key& key : RecordsCarried(machine->DesktopFile("desktop.xml"))) {
            if (m_deviceNext.deletions.erase(key))
                Log("  (the device's deletion of " + key.second + " is overridden by the desktop's changes)");
        }
    }

    // The device committed this computer's change file of the round that just failed.
    bool DeviceCommittedThisRound() const {
        const std::string own = ReadFileBytes(machine->DesktopFile("desktop.xml"));
        const std::string changeSet = Attribute(own.substr(0, own.find('>')), "changeSet");
        const DataSnapshot device = Device();
        const auto committed = device.metaData.find("lastCommittedChanges");
        return !changeSet.empty() && committed != device.metaData.end() && committed->second == changeSet;
    }

    // Later intents over earlier ones.
    static void MergeInto(Intent& earlier, Intent& later) {
        for (const auto& [key, text] : later.edits) {
            earlier.edits[key] = text;
            earlier.deletions.erase(key);
        }
        for (const Key& key : later.deletions) {
            earlier.deletions.insert(key);
            earlier.edits.erase(key);
        }
        later = Intent();
    }

    static bool IsReferenced(const DataSnapshot& side, const Key& key) {
        const char* child = key.first == "project" ? "projectItem" : "project";
        const char* attribute = key.first == "project" ? "projectRef" : "clientRef";
        for (const auto& [other, text] : side.records) {
            if (other.first == child && Attribute(text, attribute) == key.second)
                return true;
        }
        return false;
    }

    static void ExpectNoDuplicates(const std::string& path) {
        const std::string text = ReadFileBytes(path);
        static const std::regex record("<(client|project|projectItem|category) id=\"\\d+\" refId=\"([^\"]*)\"");
        std::map<std::pair<std::string, std::string>, int> seen;
        for (auto it = std::sregex_iterator(text.begin(), text.end(), record); it != std::sregex_iterator(); ++it) {
            const int times = ++seen[std::make_pair((*it)[1].str(), (*it)[2].str())];
            EXPECT_EQ(times, 1) << "duplicate " << (*it)[2] << " in " << path;
        }
    }

    int Pick(int count) { return std::uniform_int_distribution<int>(0, count - 1)(m_random); }

    void RunSeed(unsigned seed) {
        m_random.seed(seed);
        m_log.str(std::string());
        m_counter = 0;
        m_desktop = Intent();
        m_device = Intent();
        m_deviceNext = Intent();
        m_program = std::make_unique<DeviceProgram>(machine->DeviceAppFolder());
        ASSERT_TRUE(m_program->Ready());
        const int rounds = 2 + Pick(2);
        for (int round = 0; round < rounds; ++round) {
            const int operations = 2 + Pick(6);
            for (int n = 0; n < operations; ++n)
                RandomOperation(Pick(2) == 0 ? Side::Desktop : Side::Device);
            const bool last = round + 1 == rounds;
            // Interrupted synchronisations are repeated until one completes.
            for (int attempt = 0; attempt < 4; ++attempt) {
                if (Synchronise(!last && attempt < 2)) {
                    Check();
                    break;
                }
            }
            if (::testing::Test::HasFailure())
                break;
        }
        m_program.reset();
        m_helper.reset();
    }

    std::mt19937 m_random;
    std::ostringstream m_log;
    int m_counter = 0;
    Intent m_desktop;
    Intent m_device;
    Intent m_deviceNext;
    bool m_deviceAfterSerialise = false;
    std::unique_ptr<DeviceProgram> m_program;
    std::unique_ptr<CSyncHelper> m_helper;
};

unsigned EnvNumber(const char* name, unsigned fallback) {
    const char* text = std::getenv(name);
    return text && *text ? static_cast<unsigned>(std::strtoul(text, nullptr, 10)) : fallback;
}

}   // namespace

TEST_F(SyncModel, RandomOperationsAndInterruptionsNeverLoseAnEdit) {
    const unsigned base = EnvNumber("QUILLMAR_SYNC_SEED_BASE", 1);
    const unsigned seeds = EnvNumber("QUILLMAR_SYNC_SEEDS", 50);
    unsigned clean = 0;
    for (unsigned seed = base; seed < base + seeds; ++seed) {
        // A fresh pair of partners for every seed.
        ASSERT_TRUE(machine->UseDesktopData());
        MakeWorkloadBase();
        PartnerLocally();
        RunSeed(seed);
        if (HasFailure()) {
            ADD_FAILURE() << "seed " << seed << " failed; operations:\n" << m_log.str();
            break;
        }
        ++clean;
        std::remove(machine->DesktopDataFile().c_str());
        std::remove(machine->DesktopFile("desktop.xml").c_str());
        std::remove(machine->DesktopFile("device.xml").c_str());
        std::remove(machine->DeviceFile("desktop.xml").c_str());
        std::remove(machine->DeviceFile("device.xml").c_str());
        ASSERT_TRUE(machine->UseDesktopData());
    }
    std::printf("seeds run clean: %u of %u (from %u)\n", clean, seeds, base);
}
