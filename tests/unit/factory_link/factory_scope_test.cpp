#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "debug_capture.h"
#include "factory_link/factory_scope.h"
#include "factory_modules.h"
#include "reference_factory.h"
#include "module_files.h"
#include "module_overrides.h"

namespace {

using factory_link::FactoryScope;
using factory_link::IdleNotificationScope;
using factory_link::SingletonRegistrationScope;
using factorytest::ConfigFileBesideProgram;
using Lines = std::vector<std::string>;

const char kLoadFailed[] = "[Zorvi_Error] Load ZorFact.dll Fail.\n";
const char kNoExport[] = "[Zorvi_Error] Can't find CreateComponent().\n";
const char kExportReturnedNull[] = "[Zorvi_Error] CreateComponent(ComponentId=361) return null.\n";
const char kNoFactory[] = "[Zorvi_Error] Create ComponentFactory in ZorFact.dll Fail\n";

enum class Kind { Idle, Singleton };
const Kind kKinds[] = {Kind::Idle, Kind::Singleton};
const char* KindName(Kind kind) { return kind == Kind::Idle ? "idle" : "singleton"; }

std::unique_ptr<FactoryScope> OpenScope(Kind kind) {
    if (kind == Kind::Idle) return std::unique_ptr<FactoryScope>(new IdleNotificationScope);
    return std::unique_ptr<FactoryScope>(new SingletonRegistrationScope);
}

// Every test starts without a handed-over factory module and with an empty registry path.
class FactoryScopeTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_NE(factory_, nullptr) << "ZorFact.dll did not load";
        reference_.ClearJournal();
    }

    Lines ServiceCalls(const std::string& registryPath, int freeMapFlag) const {
        return {"CreateComponent 361 0", "GetFactoryService 361 " + registryPath,
                "SetFreeMapFlag " + std::to_string(freeMapFlag)};
    }

    testsupport::FactoryHandleOverride noHandle_{nullptr};
    testsupport::RegistryPathOverride noPath_{""};
    testsupport::ReferenceFactory reference_;
    zorvi::IComponentFactory* factory_ = factorytest::ComponentFactoryOf(reference_.Module());
};

TEST_F(FactoryScopeTest, FindsTheFactoryThroughTheConfigurationChainAndTheLoader) {
    ConfigFileBesideProgram config("scope_chain.ini", factorytest::NamingFactory("ZorFact.dll"));
    struct Case {
        const char* label;
        std::string registryPath;
    } cases[] = {{"relative to the host", config.Name()}, {"absolute", config.Path()}};
    for (const Case& c : cases) {
        testsupport::RegistryPathOverride path(c.registryPath.c_str());
        testsupport::DebugCapture capture;
        reference_.ClearJournal();
        {
            IdleNotificationScope scope;
            EXPECT_EQ(scope.factory, factory_) << c.label;
            EXPECT_NE(scope.service, nullptr) << c.label;
        }
        EXPECT_EQ(reference_.Journal(), ServiceCalls(c.registryPath, 1)) << c.label;
        EXPECT_TRUE(capture.Messages().empty()) << c.label << ": " << capture.Joined();
    }
}

TEST_F(FactoryScopeTest, EachKindMarksTheServiceAndOnlyTheSingletonScopeReleasesIt) {
    testsupport::FactoryHandleOverride handle(reference_.Module());
    struct Case {
        Kind kind;
        int freeMapFlag;
        Lines afterEnd;
    } cases[] = {{Kind::Idle, 1, {}}, {Kind::Singleton, 0, {"Release 0"}}};
    for (const Case& c : cases) {
        reference_.ClearJournal();
        Lines expected = ServiceCalls("", c.freeMapFlag);
        {
            std::unique_ptr<FactoryScope> scope = OpenScope(c.kind);
            ASSERT_NE(scope->service, nullptr) << KindName(c.kind);
            EXPECT_EQ(reference_.Journal(), expected) << KindName(c.kind);
        }
        // The ComponentFactory itself is never released ("FactoryRelease" would show it).
        expected.insert(expected.end(), c.afterEnd.begin(), c.afterEnd.end());
        EXPECT_EQ(reference_.Journal(), expected) << KindName(c.kind);
    }
}

TEST_F(FactoryScopeTest, AHandedOverFactoryModuleIsUsedWhateverTheConfigurationSays) {
    testsupport::FactoryHandleOverride handle(reference_.Module());
    ConfigFileBesideProgram namesAnother("scope_other.ini", factorytest::NamingFactory("NullExport.dll"));
    const std::string registryPaths[] = {namesAnother.Path(), testsupport::BesideExecutable("scope_missing.ini"),
                                         ""};
    for (const std::string& registryPath : registryPaths) {
        testsupport::RegistryPathOverride path(registryPath.c_str());
        testsupport::DebugCapture capture;
        reference_.ClearJournal();
        {
            SingletonRegistrationScope scope;
            EXPECT_EQ(scope.factory, factory_) << registryPath;
        }
        Lines expected = ServiceCalls(registryPath, 0);
        expected.push_back("Release 0");
        EXPECT_EQ(reference_.Journal(), expected) << registryPath;
        EXPECT_TRUE(capture.Messages().empty()) << registryPath << ": " << capture.Joined();
    }
}

TEST_F(FactoryScopeTest, AHandedOverHandleIsReturnedWithoutAnyTest) {
    void* notAModule = reinterpret_cast<void*>(0x1234);
    testsupport::FactoryHandleOverride handle(notAModule);
    EXPECT_EQ(factory_link::LoadFactoryModule("no such configuration.ini"), notAModule);
}

TEST_F(FactoryScopeTest, EveryScopeResolvesTheConfigurationAfresh) {
    ConfigFileBesideProgram config("scope_afresh.ini", factorytest::NamingFactory("ZorFact.dll"));
    testsupport::RegistryPathOverride path(config.Path().c_str());
    struct Step {
        const char* dll;
        Lines messages;
    } steps[] = {{"ZorFact.dll", {}},
                 {"NullExport.dll", {kExportReturnedNull, kNoFactory}},
                 {"ZorFact.dll", {}}};
    for (const Step& step : steps) {
        config.Rewrite(factorytest::NamingFactory(step.dll));
        testsupport::DebugCapture capture;
        IdleNotificationScope scope;
        EXPECT_EQ(scope.service != nullptr, step.messages.empty()) << step.dll;
        EXPECT_EQ(capture.Messages(), step.messages) << step.dll;
    }
}

TEST_F(FactoryScopeTest, LoadFactoryModuleFollowsTheHintItIsGiven) {
    ConfigFileBesideProgram config("scope_hint.ini", factorytest::NamingFactory("ZorFact.dll"));
    EXPECT_EQ(factory_link::LoadFactoryModule(config.Path().c_str()), reference_.Module());
    EXPECT_EQ(factory_link::LoadFactoryModule(testsupport::BesideExecutable("scope_none.ini").c_str()), nullptr);
}

TEST_F(FactoryScopeTest, EachFailureWritesExactlyItsMessagesAndLeavesTheScopeEmpty) {
    ConfigFileBesideProgram config("scope_failure.ini", "");
    testsupport::RegistryPathOverride path(config.Path().c_str());
    struct Case {
        const char* dll;
        Lines messages;
    } cases[] = {
        {"NotThere.dll", {kLoadFailed}},
        {"NoExport.dll", {kNoExport, kNoFactory}},
        {"NullExport.dll", {kExportReturnedNull, kNoFactory}},
    };
    for (const Case& c : cases) {
        config.Rewrite(factorytest::NamingFactory(c.dll));
        for (Kind kind : kKinds) {
            testsupport::DebugCapture capture;
            {
                std::unique_ptr<FactoryScope> scope = OpenScope(kind);
                EXPECT_EQ(scope->factory, nullptr) << c.dll << " " << KindName(kind);
                EXPECT_EQ(scope->service, nullptr) << c.dll << " " << KindName(kind);
            }
            EXPECT_EQ(capture.Messages(), c.messages) << c.dll << " " << KindName(kind);
        }
    }
}

TEST_F(FactoryScopeTest, AFactoryWithoutServiceEndsTheScopeSilently) {
    platform::ModuleHandle serviceless = factorytest::LoadBesideProgram("NoService.dll");
    ASSERT_NE(serviceless, nullptr);
    using Counter = int32_t (*)();
    auto requests = reinterpret_cast<Counter>(platform::FindExport(serviceless, "NoServiceRequests"));
    auto otherCalls = reinterpret_cast<Counter>(platform::FindExport(serviceless, "NoServiceOtherCalls"));
    testsupport::FactoryHandleOverride handle(serviceless);
    for (Kind kind : kKinds) {
        int32_t requestsBefore = requests();
        testsupport::DebugCapture capture;
        {
            std::unique_ptr<FactoryScope> scope = OpenScope(kind);
            EXPECT_NE(scope->factory, nullptr) << KindName(kind);
            EXPECT_EQ(scope->service, nullptr) << KindName(kind);
        }
        EXPECT_EQ(requests(), requestsBefore + 1) << KindName(kind);
        EXPECT_EQ(otherCalls(), 0) << KindName(kind) << ": the factory was released or marked";
        EXPECT_TRUE(capture.Messages().empty()) << KindName(kind) << ": " << capture.Joined();
    }
}

TEST(ReportLinkErrorTest, FormatsAndCutsAt1022Characters) {
    const std::string longText(2000, 'x');
    struct Case {
        std::string argument;
        std::string expected;
    } cases[] = {
        {"ZorFact.dll", "[Zorvi_Error] ZorFact.dll\n"},
        {longText, ("[Zorvi_Error] " + longText).substr(0, 1022)},
    };
    for (const Case& c : cases) {
        testsupport::DebugCapture capture;
        factory_link::ReportLinkError("[Zorvi_Error] %s\n", c.argument.c_str());
        EXPECT_EQ(capture.Messages(), Lines{c.expected}) << c.argument.size();
    }
}

}  // namespace
