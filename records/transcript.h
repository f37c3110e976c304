#pragma once
// Records collected in order, to be written later to the real streams. Work done on another
// thread writes its records here, and the owner replays them in program order.
#include <string>
#include <string_view>
#include <vector>

#include "records/record_sink.h"

namespace vemlari {

class Transcript : public RecordSink {
public:
    void put(int unit, std::string_view record, std::string_view layout) override {
        entries_.push_back({unit, std::string(record), std::string(layout)});
    }
    void replay(RecordSink& to) const {
        for (const Entry& e : entries_) to.put(e.unit, e.record, e.layout);
    }
    void clear() { entries_.clear(); }

private:
    struct Entry {
        int unit;
        std::string record;
        std::string layout;
    };
    std::vector<Entry> entries_;
};

}  // namespace vemlari
