// The writer the crash test kills: saves one new client after another into the data file of
// $QUILLMAR_DATA_DIR and, after each save that reported success, prints its number on a line
// of its own. Runs until it is killed. Usage: StoreCrashWriter FIRST-NUMBER
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "biz/Client.h"
#include "biz/DataHelper.h"

int main(int argc, char** argv) {
    if (argc != 2)
        return 64;
    CDataHelper* store = GetCurrDataHelper();
    if (!store || !store->Initialize())
        return 2;
    for (long number = std::atol(argv[1]);; ++number) {
        CClient client;
        client.set_Description(CString::FromUtf8("Written " + std::to_string(number)));
        if (!client.Save())
            return 3;
        // Written straight to the pipe: nothing confirmed may wait in a buffer when the kill comes.
        const std::string line = std::to_string(number) + "\n";
        if (::write(STDOUT_FILENO, line.data(), line.size()) != static_cast<ssize_t>(line.size()))
            return 4;
    }
}
