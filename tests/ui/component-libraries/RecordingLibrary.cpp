// A chat component library that records every call its objects get, in order, with what the
// window's view looked like at that moment, so that a test sees how a window sets itself up:
// "display+ attach(bare) setupA(1) setupB(1) picker+ sink append(1,0,0,0,skinned:/<c=...>...)".
// Attach gives what RecordingLibrarySetAttach last set (true at first).

#include "kivra/IEmotionSelector.h"
#include "kivra/IMessageProxy.h"
#include "kivra/KivraComponent.h"
#include "skin/SkinRichEdit.h"

#include <QVariant>
#include <string>

namespace {

std::string g_log;
bool g_bAttach = true;

void Log(const std::string& entry) {
    g_log += entry + " ";
}

// Whether a scroll-bar skin has been installed on the view.
const char* Look(const QObject* view) {
    return view != nullptr && view->property("PROP_SkinSB").isValid() ? "skinned" : "bare";
}

class RecordingProxy final : public IMessageProxy {
public:
    RecordingProxy() { Log("display+"); }
    void Destroy() override {
        Log("display-");
        delete this;
    }
    bool Attach(CSkinRichEdit* view) override {
        m_pView = view;
        Log(std::string("attach(") + Look(view) + ")");
        return g_bAttach;
    }
    void SetupA(int value) override { Log("setupA(" + std::to_string(value) + ")"); }
    void SetupB(int value) override { Log("setupB(" + std::to_string(value) + ")"); }
    void NotifyClosed() override { Log("closed"); }
    void AppendText(const char* line, int a, int b, int c, int d) override {
        Log("append(" + std::to_string(a) + "," + std::to_string(b) + "," + std::to_string(c) +
            "," + std::to_string(d) + "," + Look(m_pView) + ":" + line + ")");
    }

private:
    const QTextEdit* m_pView = nullptr;
};

class RecordingSelector final : public IEmotionSelector {
public:
    RecordingSelector() { Log("picker+"); }
    void Destroy() override {
        Log("picker-");
        delete this;
    }
    void SetSink(IEmotionSink* sink) override { Log(sink != nullptr ? "sink" : "no-sink"); }
    void Show(QWidget*, int x, int y) override {
        Log("show(" + std::to_string(x) + "," + std::to_string(y) + ")");
    }
};

} // namespace

extern "C" {

__attribute__((visibility("default"))) void* CreateMessageProxy(const ComponentGUID*, uint32_t) {
    IMessageProxy* proxy = new RecordingProxy();
    return proxy;
}

__attribute__((visibility("default"))) void* CreateEmotionSelector(const ComponentGUID*, uint32_t) {
    IEmotionSelector* selector = new RecordingSelector();
    return selector;
}

__attribute__((visibility("default"))) const char* RecordingLibraryLog() {
    return g_log.c_str();
}

__attribute__((visibility("default"))) void RecordingLibraryReset(bool attach) {
    g_log.clear();
    g_bAttach = attach;
}
}
