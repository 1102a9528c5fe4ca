#include "device/SoftKeyboard.h"

#include <QApplication>
#include <QInputMethod>
#include <QWidget>
#include <QWindow>

#include <fstream>
#include <sstream>
#include <vector>

#include "device/QuillmarApp.h"
#include "platform/Registry.h"

namespace {

// Bits of the KEY bitmap for the letter keys Q to P and A to L (Linux input event codes).
constexpr int kFirstLetterRows[][2] = {{16, 25}, {30, 38}};

// The KEY bitmap is printed as hexadecimal words, the highest first, each of the machine's long.
bool HasLetterKeys(const std::string& bitmap) {
    std::istringstream words(bitmap);
    std::vector<unsigned long long> values;
    std::string word;
    while (words >> word)
        values.push_back(std::stoull(word, nullptr, 16));
    if (values.empty())
        return false;
    const unsigned long long lowest = values.back();
    for (const auto& row : kFirstLetterRows) {
        for (int bit = row[0]; bit <= row[1]; ++bit) {
            if (!(lowest & (1ULL << bit)))
                return false;
        }
    }
    return true;
}

}   // namespace

bool CSoftKeyboard::ListsHardwareKeyboard(const std::string& inputDevices) {
    std::istringstream lines(inputDevices);
    std::string line;
    while (std::getline(lines, line)) {
        const std::string prefix = "B: KEY=";
        if (line.rfind(prefix, 0) == 0 && HasLetterKeys(line.substr(prefix.size())))
            return true;
    }
    return false;
}

bool CSoftKeyboard::HardwareKeyboardPresent() {
    std::ifstream file("/proc/bus/input/devices");
    std::stringstream text;
    text << file.rdbuf();
    return ListsHardwareKeyboard(text.str());
}

bool CSoftKeyboard::SelectInputMethod() {
    if (qEnvironmentVariableIsSet("QT_IM_MODULE"))
        return false;
    const bool asked = Registry::GetDword(CQuillmarApp::kSettingsKey, CQuillmarApp::kSoftKeyboardValue, 0) != 0;
    if (!Wanted(asked, HardwareKeyboardPresent()))
        return false;
    qputenv("QT_IM_MODULE", kModule);
    return true;
}

bool CSoftKeyboard::InUse() { return qgetenv("QT_IM_MODULE") == kModule; }

CSoftKeyboard::CSoftKeyboard() {
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) { OnFocusChanged(now); });
    QInputMethod* input = QGuiApplication::inputMethod();
    connect(input, &QInputMethod::visibleChanged, this, &CSoftKeyboard::OnKeyboardChanged);
    connect(input, &QInputMethod::keyboardRectangleChanged, this, &CSoftKeyboard::OnKeyboardChanged);
}

CSoftKeyboard::~CSoftKeyboard() = default;

void CSoftKeyboard::OnFocusChanged(QWidget* now) {
    if (!InUse())
        return;
    // The panel opens when an edit box receives the focus.
    if (now && now->testAttribute(Qt::WA_InputMethodEnabled)) {
        QGuiApplication::inputMethod()->show();
        // The panel may already be up, left from another dialog's edit box.
        LetThroughModal(PanelWindow());
    } else
        QGuiApplication::inputMethod()->hide();
}

QWindow* CSoftKeyboard::PanelWindow() {
    for (QWindow* window : QGuiApplication::topLevelWindows()) {
        if (window->isVisible() && !window->inherits("QWidgetWindow"))
            return window;
    }
    return nullptr;
}

QRect CSoftKeyboard::KeyboardGeometry() {
    QInputMethod* input = QGuiApplication::inputMethod();
    if (!input->isVisible())
        return QRect();
    // The keyboard's window may be as large as the screen: the rectangle is given within it.
    const QRect keys = input->keyboardRectangle().toAlignedRect();
    if (const QWindow* panel = PanelWindow())
        return keys.translated(panel->geometry().topLeft());
    return keys;
}

void CSoftKeyboard::LetThroughModal(QWindow* panel) {
    QWindow* modal = QGuiApplication::modalWindow();
    if (panel && modal && panel != modal && panel->transientParent() != modal)
        panel->setTransientParent(modal);
}

void CSoftKeyboard::OnKeyboardChanged() {
    LetThroughModal(PanelWindow());
    KeepClear(QApplication::focusWidget(), KeyboardGeometry());
}

void CSoftKeyboard::KeepClear(QWidget* focus, const QRect& keyboard) {
    QWidget* window = focus ? focus->window() : nullptr;
    if (m_moved && (keyboard.isEmpty() || m_moved != window)) {
        m_moved->move(m_movedFrom);
        m_moved = nullptr;
    }
    if (window == nullptr || keyboard.isEmpty())
        return;
    const QRect box(focus->mapToGlobal(QPoint(0, 0)), focus->size());
    const int overlap = box.bottom() + 1 - keyboard.top();
    if (overlap <= 0 || box.top() >= keyboard.bottom())
        return;
    if (!m_moved) {
        m_moved = window;
        m_movedFrom = window->pos();
    }
    window->move(window->pos() - QPoint(0, overlap + 2));
}
