#pragma once
// The user manual behind the Help menu and the About box. Its pages are opened from the copy
// installed with the program, or from the build tree when the program runs from there. Whoever
// hosts the manual on a web site names the site in the setting "ManualAddress" (section
// "Settings"); the pages are then opened from there.
#include <QString>

class CManualPages {
public:
    static constexpr const char16_t* kAddressSetting = u"ManualAddress";

    // The page a Help command opens ("faq.html", "history.html#v1.0.0"); empty for any other.
    static QString PageFor(unsigned commandId);
    // The folder holding the installed or built manual; empty when there is none.
    static QString LocalFolder();
    // The address that opens `page`: the hosted site's when the setting names one, else the
    // local file's (where the manual is expected, when no copy is found).
    static QString Address(const QString& page);
    static QString HostedAddress();

    static constexpr const char* kHome = "index.html";
    static constexpr const char* kSupport = "troubleshooting.html";
    static constexpr const char* kMoreHelp = "faq.html#more-help";
};
