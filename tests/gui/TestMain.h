// The window tests are one program; each test class registers itself here
// and CTest runs the classes one by one by name.
#ifndef PIXWRIGHT_TESTS_GUI_TESTMAIN_H
#define PIXWRIGHT_TESTS_GUI_TESTMAIN_H

#include <QObject>

#include <functional>
#include <map>
#include <memory>
#include <string>

using TestFactory = std::function<std::unique_ptr<QObject>()>;
std::map<std::string, TestFactory>& testClasses();

template <typename T>
struct RegisterTest {
    explicit RegisterTest(const char* name)
    {
        testClasses()[name] = [] { return std::make_unique<T>(); };
    }
};

#define PIXWRIGHT_GUI_TEST(Class) static RegisterTest<Class> registered##Class(#Class)

#endif
