#include "WidgetTestSupport.h"

#include <gtest/gtest.h>

namespace {

QApplication* Application = nullptr;

class TApplicationEnvironment : public testing::Environment {
public:
    void TearDown() override
    {
        delete Application;
        Application = nullptr;
    }
};

[[maybe_unused]] testing::Environment* const Registered
    = testing::AddGlobalTestEnvironment(new TApplicationEnvironment);

} // namespace

QApplication& WidgetTest::App()
{
    static int Argc = 1;
    static char Name[] = "widgets_tests";
    static char* Argv[] = { Name, nullptr };
    if (!Application)
        Application = new QApplication(Argc, Argv);
    return *Application;
}
