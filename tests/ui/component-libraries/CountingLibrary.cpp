// A chat component library that logs every object it makes and every Destroy, in order:
// "+1" for the first object made, "-1" when it is destroyed, and so on.

#include "kivra/IMessageProxy.h"
#include "kivra/KivraComponent.h"

#include <cstdio>
#include <cstring>

namespace {

char g_log[512];
int g_made = 0;

void Log(char sign, int serial) {
    const std::size_t used = std::strlen(g_log);
    std::snprintf(g_log + used, sizeof g_log - used, "%c%d ", sign, serial);
}

class CountedProxy final : public IMessageProxy {
public:
    explicit CountedProxy(int serial) : m_serial(serial) { Log('+', serial); }
    void Destroy() override {
        Log('-', m_serial);
        delete this;
    }
    bool Attach(CSkinRichEdit* view) override { return view != nullptr; }
    void SetupA(int) override {}
    void SetupB(int) override {}
    void NotifyClosed() override {}
    void AppendText(const char*, int, int, int, int) override {}

private:
    int m_serial;
};

} // namespace

extern "C" {

__attribute__((visibility("default"))) void* CreateMessageProxy(const ComponentGUID*, uint32_t) {
    IMessageProxy* proxy = new CountedProxy(++g_made);
    return proxy;
}

__attribute__((visibility("default"))) const char* CountingLibraryLog() {
    return g_log;
}
}
