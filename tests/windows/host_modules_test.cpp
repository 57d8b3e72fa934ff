// The Windows host link against stand-in modules: which modules and names it
// asks Windows for and when, and where in the host's records it reads. The
// records are built here byte by byte at literal offsets, independently of
// the layout constants the link uses.
#include "host/windows/host_modules.h"

#include <gtest/gtest.h>
#include <sys/mman.h>

#include <algorithm>
#include <cstring>
#include <map>
#include <string>
#include <vector>

namespace tarvo::win {
namespace {

// Host records hold 32-bit addresses, so they must live in the low 4 GiB.
class LowArena {
public:
    LowArena() {
#ifdef MAP_32BIT
        void* p = mmap(nullptr, kSize, PROT_READ | PROT_WRITE,
                       MAP_PRIVATE | MAP_ANONYMOUS | MAP_32BIT, -1, 0);
        if (p != MAP_FAILED) base_ = static_cast<std::byte*>(p);
#endif
    }
    ~LowArena() {
        if (base_) munmap(base_, kSize);
    }
    bool ok() const {
        return base_ != nullptr;
    }
    std::byte* take(size_t bytes) {
        std::byte* p = base_ + used_;
        used_ += (bytes + 15) & ~size_t{15};
        if (used_ > kSize) std::abort();
        return p;
    }

private:
    static constexpr size_t kSize = 1 << 20;
    std::byte* base_ = nullptr;
    size_t used_ = 0;
};

uint32_t low(const void* p) {
    return static_cast<uint32_t>(reinterpret_cast<uintptr_t>(p));
}

void putFloats(std::byte* record, size_t offset, std::initializer_list<float> values) {
    std::memcpy(record + offset, values.begin(), values.size() * sizeof(float));
}
void putWord(std::byte* record, size_t offset, uint32_t value) {
    std::memcpy(record + offset, &value, sizeof value);
}

// The engine: which modules exist (loaded or only on disk), their names, and
// a log of every module call the link makes.
struct Engine {
    struct Module {
        bool loaded = true;
        std::map<std::string, EntryAddress> entries;
    };
    std::map<std::string, Module> modules;  // by file name
    std::vector<std::string> log;
    std::byte* global = nullptr;
    std::map<int32_t, std::byte*> cameras;
    std::map<int32_t, std::byte*> objects;
    std::vector<std::string> switches;

    // Handles are small numbers: 1 + the module's rank in the map.
    ModuleHandle handleOf(const std::string& file) {
        size_t rank = 1;
        for (const auto& m : modules) {
            if (m.first == file) return reinterpret_cast<ModuleHandle>(rank);
            ++rank;
        }
        return nullptr;
    }
    Module* byHandle(ModuleHandle handle) {
        size_t rank = 1;
        for (auto& m : modules) {
            if (reinterpret_cast<ModuleHandle>(rank++) == handle) return &m.second;
        }
        return nullptr;
    }
};

Engine* engine = nullptr;

const ModuleFunctions kFakeWindows{
    [](const char* file) -> ModuleHandle {
        engine->log.push_back(std::string("find ") + file);
        const auto m = engine->modules.find(file);
        return m != engine->modules.end() && m->second.loaded ? engine->handleOf(file) : nullptr;
    },
    [](const char* file) -> ModuleHandle {
        engine->log.push_back(std::string("load ") + file);
        return engine->modules.count(file) ? engine->handleOf(file) : nullptr;
    },
    [](ModuleHandle) { engine->log.push_back("release"); },
    [](ModuleHandle handle, const char* name) -> EntryAddress {
        engine->log.push_back(std::string("lookup ") + name);
        Engine::Module* m = engine->byHandle(handle);
        if (!m) return nullptr;
        const auto e = m->entries.find(name);
        return e == m->entries.end() ? nullptr : e->second;
    },
};

template <typename F>
EntryAddress address(F f) {
    return reinterpret_cast<EntryAddress>(f);
}

uint32_t TARVO_HOST_CALL getGlobPtr() {
    engine->log.push_back("call GetGlobPtr");
    return low(engine->global);
}
const std::byte* TARVO_HOST_CALL getInternalData(int32_t camera) {
    const auto c = engine->cameras.find(camera);
    return c == engine->cameras.end() ? nullptr : c->second;
}
const std::byte* TARVO_HOST_CALL getObject(int32_t object) {
    const auto o = engine->objects.find(object);
    return o == engine->objects.end() ? nullptr : o->second;
}
void TARVO_HOST_CALL hide(int32_t o) {
    engine->switches.push_back("Hide " + std::to_string(o));
}
void TARVO_HOST_CALL show(int32_t o) {
    engine->switches.push_back("Show " + std::to_string(o));
}
void TARVO_HOST_CALL excludeOn(int32_t o) {
    engine->switches.push_back("ExcludeOn " + std::to_string(o));
}
void TARVO_HOST_CALL excludeOff(int32_t o) {
    engine->switches.push_back("ExcludeOff " + std::to_string(o));
}
void TARVO_HOST_CALL hideLimb(int32_t o, int32_t l) {
    engine->switches.push_back("HideLimb " + std::to_string(o) + " " + std::to_string(l));
}
void TARVO_HOST_CALL showLimb(int32_t o, int32_t l) {
    engine->switches.push_back("ShowLimb " + std::to_string(o) + " " + std::to_string(l));
}
void TARVO_HOST_CALL strayHide(int32_t o) {
    engine->switches.push_back("stray Hide " + std::to_string(o));
}

class HostModulesTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!arena.ok()) GTEST_SKIP() << "no memory below 4 GiB for 32-bit host records";
        engine = &fake;
        fake.global = arena.take(0x400);
        fake.modules["TarvoCore.dll"].entries["?GetGlobPtr@@YAKXZ"] = address(&getGlobPtr);
        fake.modules["TarvoBasic3D.dll"].entries["?GetObjectA@@YAPAUsObject@@H@Z"] =
            address(&getObject);
        // Same decorated name as a switch, in a module the switches are not taken from.
        fake.modules["TarvoBasic3D.dll"].entries["?Hide@@YAXH@Z"] = address(&strayHide);
        fake.modules["TarvoCamera.dll"].entries["?GetInternalData@@YAPAXH@Z"] =
            address(&getInternalData);
        auto& debug = fake.modules["TarvoBasic3DDebug.dll"].entries;
        debug["?Hide@@YAXH@Z"] = address(&hide);
        debug["?Show@@YAXH@Z"] = address(&show);
        debug["?ExcludeOn@@YAXH@Z"] = address(&excludeOn);
        debug["?ExcludeOff@@YAXH@Z"] = address(&excludeOff);
        debug["?HideLimb@@YAXHH@Z"] = address(&hideLimb);
        debug["?ShowLimb@@YAXHH@Z"] = address(&showLimb);
        publish();
    }
    void TearDown() override { engine = nullptr; }

    void publish() {
        putWord(fake.global, 0x64, low(fake.handleOf("TarvoBasic3D.dll")));
        putWord(fake.global, 0x68, low(fake.handleOf("TarvoCamera.dll")));
    }

    size_t countLog(const std::string& entry) const {
        return static_cast<size_t>(std::count(fake.log.begin(), fake.log.end(), entry));
    }

    std::byte* addObject(int32_t number) {
        std::byte* record = arena.take(0x100);
        fake.objects[number] = record;
        return record;
    }

    // An object whose limb array holds one limb record, with a mesh, at `limb`.
    std::byte* addLimb(std::byte* object, int32_t limb) {
        std::byte* array = arena.take(16 * 4);
        std::byte* limbRecord = arena.take(0x300);
        std::byte* mesh = arena.take(0x4C0);
        putWord(object, 0x0C, low(array));
        putWord(array, static_cast<size_t>(limb) * 4, low(limbRecord));
        putWord(limbRecord, 0x2F8, low(mesh));
        putFloats(limbRecord, 0x2C4, {10, 20, 30});
        putFloats(mesh, 0x480, {-1, -2, -3});
        putFloats(mesh, 0x48C, {4, 5, 6});
        putFloats(mesh, 0x4B0, {7.5f});
        return limbRecord;
    }

    static LowArena arena;
    Engine fake;
    HostModules link{kFakeWindows};
};

LowArena HostModulesTest::arena;

TEST_F(HostModulesTest, NothingIsAskedOfWindowsBeforeTheFirstLink) {
    OtCameraRef camera{};
    EXPECT_FALSE(link.findCamera(1, &camera));
    link.hide(1);
    EXPECT_EQ(link.currentCamera(), 0);
    EXPECT_TRUE(fake.log.empty());
    EXPECT_TRUE(fake.switches.empty());
}

TEST_F(HostModulesTest, FirstLinkSweepsThenFetchesGlobalThenLooksUpCameraBeforeObject) {
    link.link();
    const std::vector<std::string> expected = {
        "find TarvoBasic3DDebug.dll",
        "lookup ?Hide@@YAXH@Z",
        "lookup ?Show@@YAXH@Z",
        "lookup ?ExcludeOn@@YAXH@Z",
        "lookup ?ExcludeOff@@YAXH@Z",
        "lookup ?HideLimb@@YAXHH@Z",
        "lookup ?ShowLimb@@YAXHH@Z",
        // The reference to the core module is dropped before the call.
        "load TarvoCore.dll",
        "lookup ?GetGlobPtr@@YAKXZ",
        "release",
        "call GetGlobPtr",
        "lookup ?GetInternalData@@YAPAXH@Z",
        "lookup ?GetObjectA@@YAPAUsObject@@H@Z",
    };
    EXPECT_EQ(fake.log, expected);
}

TEST_F(HostModulesTest, LaterLinksAskNothingOnceEverythingIsFound) {
    link.link();
    fake.log.clear();
    link.link();
    link.link();
    EXPECT_TRUE(fake.log.empty());
}

TEST_F(HostModulesTest, SweepNeverLoadsAModuleAndRunsOnlyOnce) {
    fake.modules["TarvoBasic3DDebug.dll"].loaded = false;
    link.link();
    fake.modules["TarvoBasic3DDebug.dll"].loaded = true;
    link.link();
    link.hide(4);
    link.showLimb(4, 1);
    EXPECT_EQ(countLog("find TarvoBasic3DDebug.dll"), 1u);
    EXPECT_EQ(countLog("load TarvoBasic3DDebug.dll"), 0u);
    EXPECT_TRUE(fake.switches.empty());
    EXPECT_TRUE(link.entries().filled());
}

TEST_F(HostModulesTest, EachSwitchReachesItsOwnEntryInTheDebugModule) {
    link.link();
    struct Case {
        void (*act)(const HostModules&);
        const char* expected;
    };
    const Case cases[] = {
        {[](const HostModules& h) { h.hide(3); }, "Hide 3"},
        {[](const HostModules& h) { h.excludeOn(3); }, "ExcludeOn 3"},
        {[](const HostModules& h) { h.hideLimb(3, -2); }, "HideLimb 3 -2"},
        {[](const HostModules& h) { h.excludeOff(-7); }, "ExcludeOff -7"},
        {[](const HostModules& h) { h.show(0); }, "Show 0"},
        {[](const HostModules& h) { h.showLimb(2147483647, 5); }, "ShowLimb 2147483647 5"},
    };
    for (const Case& c : cases) {
        fake.switches.clear();
        c.act(link);
        EXPECT_EQ(fake.switches, std::vector<std::string>{c.expected}) << c.expected;
    }
}

TEST_F(HostModulesTest, ApiTableForwardsToTheLink) {
    const OtHostApi api = link.api();
    api.link(api.context);
    api.hide(api.context, 9);
    api.hideLimb(api.context, 9, 2);
    EXPECT_EQ(fake.switches, (std::vector<std::string>{"Hide 9", "HideLimb 9 2"}));
    putWord(fake.global, 0x32C, 6);
    EXPECT_EQ(api.currentCamera(api.context), 6);
}

TEST_F(HostModulesTest, MissingCoreModuleIsTriedAgainAtTheNextLink) {
    auto core = fake.modules.extract("TarvoCore.dll");
    publish();  // handles moved with the map
    link.link();
    EXPECT_FALSE(link.hasGlobalRecord());
    EXPECT_FALSE(link.hasCameraLookup());
    EXPECT_EQ(link.currentCamera(), 0);
    fake.modules.insert(std::move(core));
    publish();
    link.link();
    EXPECT_TRUE(link.hasGlobalRecord());
    EXPECT_TRUE(link.hasCameraLookup());
    EXPECT_TRUE(link.hasObjectLookup());
    EXPECT_EQ(countLog("call GetGlobPtr"), 1u);
}

TEST_F(HostModulesTest, GlobalRecordIsFetchedOnce) {
    putWord(fake.global, 0x64, 0);  // object lookup keeps failing
    link.link();
    link.link();
    link.link();
    EXPECT_EQ(countLog("load TarvoCore.dll"), 1u);
    EXPECT_EQ(countLog("call GetGlobPtr"), 1u);
    EXPECT_EQ(countLog("lookup ?GetObjectA@@YAPAUsObject@@H@Z"), 0u);
}

TEST_F(HostModulesTest, LookupsAreRepeatedUntilTheGlobalRecordNamesTheirModules) {
    putWord(fake.global, 0x64, 0);
    putWord(fake.global, 0x68, 0);
    link.link();
    EXPECT_FALSE(link.hasCameraLookup());
    EXPECT_FALSE(link.hasObjectLookup());
    putWord(fake.global, 0x68, low(fake.handleOf("TarvoCamera.dll")));
    link.link();
    EXPECT_TRUE(link.hasCameraLookup());
    EXPECT_FALSE(link.hasObjectLookup());
    putWord(fake.global, 0x64, low(fake.handleOf("TarvoBasic3D.dll")));
    link.link();
    EXPECT_TRUE(link.hasObjectLookup());
}

TEST_F(HostModulesTest, EachLookupUsesTheModuleAtItsOwnOffset) {
    // Swapped handles: neither entry is in the module named for it.
    putWord(fake.global, 0x64, low(fake.handleOf("TarvoCamera.dll")));
    putWord(fake.global, 0x68, low(fake.handleOf("TarvoBasic3D.dll")));
    link.link();
    EXPECT_FALSE(link.hasCameraLookup());
    EXPECT_FALSE(link.hasObjectLookup());
}

TEST_F(HostModulesTest, CurrentCameraIsReadFromTheGlobalRecordEachTime) {
    link.link();
    putWord(fake.global, 0x32C, 3);
    EXPECT_EQ(link.currentCamera(), 3);
    putWord(fake.global, 0x32C, static_cast<uint32_t>(-2));
    EXPECT_EQ(link.currentCamera(), -2);
}

TEST_F(HostModulesTest, CameraFiguresPointIntoTheRecord) {
    std::byte* record = arena.take(0xC0);
    fake.cameras[2] = record;
    link.link();
    OtCameraRef camera{};
    ASSERT_TRUE(link.findCamera(2, &camera));
    EXPECT_EQ(reinterpret_cast<const std::byte*>(camera.projection), record);
    EXPECT_EQ(reinterpret_cast<const std::byte*>(camera.view), record + 64);
    EXPECT_EQ(reinterpret_cast<const std::byte*>(camera.position), record + 164);
    EXPECT_FALSE(link.findCamera(3, &camera));
}

TEST_F(HostModulesTest, ObjectFiguresAreReadAtTheirOffsets) {
    std::byte* object = addObject(5);
    putFloats(object, 0x18, {-1, -2, -3});
    putFloats(object, 0x24, {4, 5, 6});
    putFloats(object, 0x48, {2.5f});
    putFloats(object, 0x84, {7, 8, 9});
    link.link();
    OtBodyFigures f{};
    ASSERT_TRUE(link.findObject(5, &f));
    EXPECT_EQ((std::vector<float>{f.position[0], f.position[1], f.position[2]}),
              (std::vector<float>{7, 8, 9}));
    EXPECT_EQ((std::vector<float>{f.boundsMin[0], f.boundsMin[1], f.boundsMin[2]}),
              (std::vector<float>{-1, -2, -3}));
    EXPECT_EQ((std::vector<float>{f.boundsMax[0], f.boundsMax[1], f.boundsMax[2]}),
              (std::vector<float>{4, 5, 6}));
    EXPECT_EQ(f.radius, 2.5f);
    EXPECT_FALSE(link.findObject(6, &f));
}

TEST_F(HostModulesTest, LimbFiguresComeFromTheLimbAndItsMesh) {
    std::byte* object = addObject(5);
    putFloats(object, 0x84, {100, 100, 100});  // not used for a limb
    addLimb(object, 2);
    link.link();
    OtBodyFigures f{};
    ASSERT_TRUE(link.findLimb(5, 2, &f));
    EXPECT_EQ((std::vector<float>{f.position[0], f.position[1], f.position[2]}),
              (std::vector<float>{10, 20, 30}));
    EXPECT_EQ((std::vector<float>{f.boundsMin[0], f.boundsMin[1], f.boundsMin[2]}),
              (std::vector<float>{-1, -2, -3}));
    EXPECT_EQ((std::vector<float>{f.boundsMax[0], f.boundsMax[1], f.boundsMax[2]}),
              (std::vector<float>{4, 5, 6}));
    EXPECT_EQ(f.radius, 7.5f);
}

TEST_F(HostModulesTest, AbsentLimbsAndMeshesAreNotFound) {
    std::byte* bare = addObject(1);  // no limb array at all
    (void)bare;
    std::byte* object = addObject(2);
    std::byte* limb = addLimb(object, 1);
    link.link();
    OtBodyFigures f{};
    struct Case {
        int32_t object, limb;
        const char* why;
    };
    const Case cases[] = {
        {1, 0, "object without a limb array"},
        {2, 0, "empty entry in the limb array"},
        {2, -1, "negative limb number"},
        {3, 0, "no such object"},
    };
    for (const Case& c : cases) EXPECT_FALSE(link.findLimb(c.object, c.limb, &f)) << c.why;
    putWord(limb, 0x2F8, 0);
    EXPECT_FALSE(link.findLimb(2, 1, &f)) << "limb without a mesh";
}

TEST_F(HostModulesTest, WithoutLookupsNothingIsFoundAndNothingIsCalled) {
    fake.modules.clear();
    addObject(1);
    link.link();
    OtBodyFigures f{};
    OtCameraRef c{};
    EXPECT_FALSE(link.findObject(1, &f));
    EXPECT_FALSE(link.findLimb(1, 0, &f));
    EXPECT_FALSE(link.findCamera(0, &c));
    link.hide(1);
    link.showLimb(1, 1);
    EXPECT_TRUE(fake.switches.empty());
}

}  // namespace
}  // namespace tarvo::win
