#pragma once
// The device's pairing key, kept as hex text in a file only its user may read.
#include <string>

#include "connection/RapiProtocol.h"
#include "connection/RapiStatus.h"

class KeyFile {
public:
    // $XDG_CONFIG_HOME/Kestovar/connectd.key
    static std::string DefaultPath();
    // Reads the key, or makes a random one when the file does not exist yet. Refuses a file that
    // others may read or that does not hold a key, rather than guessing.
    static RapiStatus LoadOrCreate(const std::string& path, rapi::PairingKey& key);
    // Reads the key and never makes one: a missing file is an error.
    static RapiStatus Load(const std::string& path, rapi::PairingKey& key);
};
