#pragma once
// The records of a data or change file as two sides must agree on them: by kind and RefID,
// each as its element text without the local "id" and without the "modified" time, which
// differ between sides by design.
#include <map>
#include <string>
#include <utility>
#include <vector>

struct DataSnapshot {
    using Key = std::pair<std::string, std::string>;   // kind, RefID

    bool loaded = false;
    std::map<Key, std::string> records;
    std::vector<Key> markers;   // "deleted" elements: the deleted record's kind and RefID
    std::map<std::string, std::string> metaData;

    static DataSnapshot Read(const std::string& path);

    bool Has(const std::string& kind, const std::string& refId) const { return records.count({kind, refId}) != 0; }
    // The record's "description"; "" when the record or its description is absent.
    std::string Description(const std::string& kind, const std::string& refId) const;
    // The RefID of the first record of that kind with that description; "" when none.
    std::string RefIdOf(const std::string& kind, const std::string& description) const;
};

// A readable list of where two snapshots differ; empty when their records agree.
std::string DifferenceBetween(const DataSnapshot& desktop, const DataSnapshot& device);
