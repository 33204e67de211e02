#include "platform/hid/report_descriptor.h"

#include <algorithm>

namespace tavrik::hid {
namespace {

// Limits that keep a hostile descriptor from costing unbounded time or memory.
constexpr std::size_t kMaxLocalUsages = 256;
constexpr std::size_t kMaxGlobalStack = 16;
constexpr int kMaxCollectionDepth = 32;
constexpr std::size_t kMaxTopCollections = 64;
constexpr std::size_t kMaxFields = 1024;
constexpr std::uint32_t kMaxReportBits = 4096u * 8u;  // data bits of one report

struct GlobalState {
    std::uint16_t usagePage = 0;
    std::int32_t logicalMin = 0;
    std::int32_t logicalMax = 0;
    std::uint32_t logicalMaxRaw = 0;
    int logicalMaxSize = 0;
    std::int32_t physicalMin = 0;
    std::int32_t physicalMax = 0;
    std::uint32_t physicalMaxRaw = 0;
    int physicalMaxSize = 0;
    std::uint32_t unitExp = 0;
    std::uint32_t unit = 0;
    std::uint32_t reportSize = 0;
    std::uint32_t reportCount = 0;
    std::uint8_t reportId = 0;
};

struct LocalState {
    std::vector<UsageSpan> usages;
    bool haveMin = false;
    bool haveMax = false;
    std::uint32_t min = 0;
    std::uint32_t max = 0;
    bool overflow = false;

    void Clear() { *this = LocalState(); }
};

std::int32_t SignedValue(std::uint32_t raw, int size) {
    switch (size) {
        case 1:
            return static_cast<std::int8_t>(raw);
        case 2:
            return static_cast<std::int16_t>(raw);
        case 4:
            return static_cast<std::int32_t>(raw);
        default:
            return 0;
    }
}

// A maximum read as signed that falls below its minimum was meant unsigned
// (e.g. 0..255 written as one byte 0xFF).
std::int32_t ResolveMax(std::int32_t min, std::uint32_t raw, int size) {
    std::int32_t v = SignedValue(raw, size);
    if (v < min && size < 4) return static_cast<std::int32_t>(raw);
    return v;
}

void AddUsage(LocalState& local, const GlobalState& global, std::uint32_t raw, int size) {
    if (local.usages.size() >= kMaxLocalUsages) {
        local.overflow = true;
        return;
    }
    UsageSpan s;
    s.page = size == 4 ? static_cast<std::uint16_t>(raw >> 16) : global.usagePage;
    s.min = s.max = static_cast<std::uint16_t>(raw);
    local.usages.push_back(s);
}

void CompleteRange(LocalState& local, const GlobalState& global, int minSize) {
    if (!local.haveMin || !local.haveMax) return;
    UsageSpan s;
    s.page = minSize == 4 ? static_cast<std::uint16_t>(local.min >> 16) : global.usagePage;
    std::uint16_t lo = static_cast<std::uint16_t>(local.min);
    std::uint16_t hi = static_cast<std::uint16_t>(local.max);
    if (hi < lo) std::swap(lo, hi);
    s.min = lo;
    s.max = hi;
    s.isRange = lo != hi;
    local.haveMin = local.haveMax = false;
    if (local.usages.size() >= kMaxLocalUsages) {
        local.overflow = true;
        return;
    }
    local.usages.push_back(s);
}

template <typename Caps>
void FillCommon(Caps& c, const ReportField& f, const UsageSpan& s, std::uint32_t covered) {
    c.UsagePage = s.page;
    c.ReportID = f.reportId;
    c.BitField = f.flags;
    c.LinkCollection = 0;
    c.IsAbsolute = (f.flags & 0x04) ? 0 : 1;
    if (s.isRange && covered > 1) {
        c.IsRange = 1;
        c.Range.UsageMin = s.min;
        c.Range.UsageMax = static_cast<std::uint16_t>(s.min + covered - 1);
    } else {
        c.IsRange = 0;
        c.NotRange.Usage = s.min;
    }
}

// Caps of one field: one per usage span, clipped to the elements the span
// actually covers in a variable field; the last span takes the remaining
// elements when the field has more elements than usages.
void AddCaps(TopCollection& col, const ReportField& f, std::uint16_t linkUsagePage, std::uint16_t linkUsage) {
    const int kind = f.kind;
    std::uint32_t remaining = f.count;
    for (std::size_t i = 0; i < f.usages.size(); ++i) {
        const UsageSpan& s = f.usages[i];
        const bool last = i + 1 == f.usages.size();
        std::uint32_t covered = s.Size();
        std::uint32_t elements = covered;
        if (!f.isArray) {
            if (remaining == 0) break;
            covered = std::min(covered, remaining);
            elements = last ? remaining : covered;
            remaining -= std::min(remaining, elements);
        }
        if (f.isButton) {
            win::HIDP_BUTTON_CAPS c;
            FillCommon(c, f, s, f.isArray ? s.Size() : covered);
            c.ReportCount = static_cast<std::uint16_t>(f.isArray ? f.count : elements);
            c.LinkUsagePage = linkUsagePage;
            c.LinkUsage = linkUsage;
            col.buttonCaps[kind].push_back(c);
        } else {
            win::HIDP_VALUE_CAPS c;
            FillCommon(c, f, s, covered);
            c.HasNull = (f.flags & 0x40) ? 1 : 0;
            c.BitSize = f.bitSize;
            c.ReportCount = static_cast<std::uint16_t>(elements);
            c.UnitsExp = f.unitExp;
            c.Units = f.unit;
            c.LogicalMin = f.logicalMin;
            c.LogicalMax = f.logicalMax;
            c.PhysicalMin = f.physicalMin;
            c.PhysicalMax = f.physicalMax;
            c.LinkUsagePage = linkUsagePage;
            c.LinkUsage = linkUsage;
            col.valueCaps[kind].push_back(c);
        }
    }
}

}  // namespace

bool ReportField::VariableUsage(std::uint32_t i, std::uint16_t* page, std::uint16_t* usage) const {
    if (usages.empty()) return false;
    for (const UsageSpan& s : usages) {
        if (i < s.Size()) {
            *page = s.page;
            *usage = static_cast<std::uint16_t>(s.min + i);
            return true;
        }
        i -= s.Size();
    }
    *page = usages.back().page;
    *usage = usages.back().max;
    return true;
}

bool ReportField::ArrayUsage(std::int64_t value, std::uint16_t* page, std::uint16_t* usage) const {
    if (value < logicalMin || value > logicalMax) return false;
    std::int64_t index = value - logicalMin;
    for (const UsageSpan& s : usages) {
        if (index < s.Size()) {
            *page = s.page;
            *usage = static_cast<std::uint16_t>(s.min + index);
            return *usage != 0;
        }
        index -= s.Size();
    }
    return false;
}

std::uint32_t ReportField::Extract(const std::uint8_t* report, std::size_t length, std::uint32_t i) const {
    std::uint64_t start = bitOffset + static_cast<std::uint64_t>(i) * bitSize;
    std::uint32_t v = 0;
    for (std::uint32_t b = 0; b < bitSize && b < 32; ++b) {
        std::uint64_t bit = start + b;
        std::uint64_t byte = bit / 8;
        if (byte >= length) break;
        if (report[byte] & (1u << (bit % 8))) v |= 1u << b;
    }
    return v;
}

bool TopCollection::HasReport(win::HIDP_REPORT_TYPE kind, std::uint8_t id) const {
    const auto& ids = reportIds[kind];
    return std::find(ids.begin(), ids.end(), id) != ids.end();
}

win::HIDP_CAPS TopCollection::Caps() const {
    win::HIDP_CAPS c;
    c.UsagePage = usagePage;
    c.Usage = usage;
    c.InputReportByteLength = reportLength[win::HidP_Input];
    c.OutputReportByteLength = reportLength[win::HidP_Output];
    c.FeatureReportByteLength = reportLength[win::HidP_Feature];
    c.NumberLinkCollectionNodes = linkCollections;
    std::uint16_t* button[3] = {&c.NumberInputButtonCaps, &c.NumberOutputButtonCaps, &c.NumberFeatureButtonCaps};
    std::uint16_t* value[3] = {&c.NumberInputValueCaps, &c.NumberOutputValueCaps, &c.NumberFeatureValueCaps};
    std::uint16_t* indices[3] = {&c.NumberInputDataIndices, &c.NumberOutputDataIndices, &c.NumberFeatureDataIndices};
    for (int k = 0; k < 3; ++k) {
        *button[k] = static_cast<std::uint16_t>(buttonCaps[k].size());
        *value[k] = static_cast<std::uint16_t>(valueCaps[k].size());
        std::uint32_t n = 0;
        for (const auto& b : buttonCaps[k]) n += b.IsRange ? b.Range.UsageMax - b.Range.UsageMin + 1u : 1u;
        for (const auto& v : valueCaps[k]) n += v.IsRange ? v.Range.UsageMax - v.Range.UsageMin + 1u : 1u;
        *indices[k] = static_cast<std::uint16_t>(std::min<std::uint32_t>(n, 0xFFFF));
    }
    return c;
}

int ReportDescriptor::CollectionOfReport(win::HIDP_REPORT_TYPE kind, std::uint8_t id) const {
    for (std::size_t i = 0; i < collections.size(); ++i)
        if (collections[i].HasReport(kind, id)) return static_cast<int>(i);
    return -1;
}

std::uint16_t ReportDescriptor::ReportBytes(win::HIDP_REPORT_TYPE kind, std::uint8_t id) const {
    auto it = reportBytes.find({kind, id});
    return it == reportBytes.end() ? 0 : it->second;
}

ReportDescriptor ParseReportDescriptor(const std::uint8_t* data, std::size_t size) {
    ReportDescriptor out;
    if (!data) size = 0;
    GlobalState global;
    std::vector<GlobalState> stack;
    LocalState local;
    int minSize = 0;
    int depth = 0;
    int topIndex = -1;                                           // collection receiving main items, -1 outside any
    std::map<std::pair<int, std::uint8_t>, std::uint32_t> bits;  // data bits so far per report
    std::size_t fieldCount = 0;

    auto fail = [&] { out.wellFormed = false; };

    std::size_t pos = 0;
    while (pos < size) {
        const std::uint8_t prefix = data[pos];
        if (prefix == 0xFE) {  // long item: skip it whole
            if (pos + 2 >= size) {
                fail();
                break;
            }
            std::size_t len = data[pos + 1];
            if (pos + 3 + len > size) {
                fail();
                break;
            }
            pos += 3 + len;
            continue;
        }
        static constexpr int kSizes[4] = {0, 1, 2, 4};
        const int itemSize = kSizes[prefix & 0x03];
        const int type = (prefix >> 2) & 0x03;
        const int tag = prefix >> 4;
        if (pos + 1 + itemSize > size) {
            fail();
            break;
        }
        std::uint32_t raw = 0;
        for (int i = 0; i < itemSize; ++i) raw |= static_cast<std::uint32_t>(data[pos + 1 + i]) << (8 * i);
        pos += 1 + itemSize;

        if (type == 0) {  // main
            if (tag == 0x8 || tag == 0x9 || tag == 0xB) {
                const win::HIDP_REPORT_TYPE kind = tag == 0x8   ? win::HidP_Input
                                                   : tag == 0x9 ? win::HidP_Output
                                                                : win::HidP_Feature;
                CompleteRange(local, global, minSize);
                const std::uint32_t total = global.reportSize * global.reportCount;
                if (global.reportSize > 0xFFFF || global.reportCount > 0xFFFF) {
                    fail();
                    break;
                }
                auto key = std::make_pair(static_cast<int>(kind), global.reportId);
                std::uint32_t& used = bits[key];
                if (used + total > kMaxReportBits) {
                    fail();
                    break;
                }
                const std::uint32_t offset = 8 + used;
                used += total;
                const bool constant = raw & 0x01;
                if (topIndex >= 0) {
                    TopCollection& col = out.collections[topIndex];
                    if (!col.HasReport(kind, global.reportId)) col.reportIds[kind].push_back(global.reportId);
                    if (!constant && total > 0 && global.reportSize <= 32 && !local.usages.empty()) {
                        if (fieldCount >= kMaxFields) {
                            fail();
                            break;
                        }
                        ++fieldCount;
                        ReportField f;
                        f.kind = kind;
                        f.reportId = global.reportId;
                        f.bitOffset = offset;
                        f.bitSize = static_cast<std::uint16_t>(global.reportSize);
                        f.count = static_cast<std::uint16_t>(global.reportCount);
                        f.flags = static_cast<std::uint16_t>(raw);
                        f.isArray = !(raw & 0x02);
                        f.isButton = f.isArray || global.reportSize == 1;
                        f.logicalMin = global.logicalMin;
                        f.logicalMax = ResolveMax(global.logicalMin, global.logicalMaxRaw, global.logicalMaxSize);
                        f.physicalMin = global.physicalMin;
                        f.physicalMax = ResolveMax(global.physicalMin, global.physicalMaxRaw, global.physicalMaxSize);
                        f.unit = global.unit;
                        f.unitExp = global.unitExp;
                        f.usages = local.usages;
                        col.fields.push_back(f);
                        AddCaps(col, col.fields.back(), col.usagePage, col.usage);
                    }
                }
                local.Clear();
            } else if (tag == 0xA) {  // collection
                CompleteRange(local, global, minSize);
                if (depth >= kMaxCollectionDepth) {
                    fail();
                    break;
                }
                if (depth == 0) {
                    if (out.collections.size() >= kMaxTopCollections) {
                        fail();
                        break;
                    }
                    TopCollection col;
                    if (!local.usages.empty()) {
                        col.usagePage = local.usages.front().page;
                        col.usage = local.usages.front().min;
                    }
                    out.collections.push_back(col);
                    topIndex = static_cast<int>(out.collections.size()) - 1;
                } else if (topIndex >= 0) {
                    auto& n = out.collections[topIndex].linkCollections;
                    if (n < 0xFFFF) ++n;
                }
                ++depth;
                local.Clear();
            } else if (tag == 0xC) {  // end collection
                if (depth == 0) {
                    fail();
                    break;
                }
                --depth;
                if (depth == 0) topIndex = -1;
                local.Clear();
            } else {
                fail();
                break;
            }
        } else if (type == 1) {  // global
            switch (tag) {
                case 0x0:
                    global.usagePage = static_cast<std::uint16_t>(raw);
                    break;
                case 0x1:
                    global.logicalMin = SignedValue(raw, itemSize);
                    break;
                case 0x2:
                    global.logicalMaxRaw = raw;
                    global.logicalMaxSize = itemSize;
                    global.logicalMax = SignedValue(raw, itemSize);
                    break;
                case 0x3:
                    global.physicalMin = SignedValue(raw, itemSize);
                    break;
                case 0x4:
                    global.physicalMaxRaw = raw;
                    global.physicalMaxSize = itemSize;
                    global.physicalMax = SignedValue(raw, itemSize);
                    break;
                case 0x5:
                    global.unitExp = raw;
                    break;
                case 0x6:
                    global.unit = raw;
                    break;
                case 0x7:
                    global.reportSize = raw;
                    break;
                case 0x8:
                    if (raw == 0 || raw > 0xFF) {
                        fail();
                        goto done;
                    }
                    global.reportId = static_cast<std::uint8_t>(raw);
                    out.usesReportIds = true;
                    break;
                case 0x9:
                    global.reportCount = raw;
                    break;
                case 0xA:
                    if (stack.size() >= kMaxGlobalStack) {
                        fail();
                        goto done;
                    }
                    stack.push_back(global);
                    break;
                case 0xB:
                    if (stack.empty()) {
                        fail();
                        goto done;
                    }
                    global = stack.back();
                    stack.pop_back();
                    break;
                default:
                    fail();
                    goto done;
            }
        } else if (type == 2) {  // local
            switch (tag) {
                case 0x0:
                    AddUsage(local, global, raw, itemSize);
                    break;
                case 0x1:
                    local.min = raw;
                    local.haveMin = true;
                    minSize = itemSize;
                    CompleteRange(local, global, minSize);
                    break;
                case 0x2:
                    local.max = raw;
                    local.haveMax = true;
                    CompleteRange(local, global, minSize);
                    break;
                default:
                    break;  // designators, strings, delimiters: not used
            }
            if (local.overflow) {
                fail();
                break;
            }
        } else {
            fail();
            break;
        }
    }
done:
    if (depth != 0) out.wellFormed = false;
    for (const auto& [key, used] : bits) {
        std::uint32_t bytes = 1 + (used + 7) / 8;
        out.reportBytes[{key.first, key.second}] = static_cast<std::uint16_t>(bytes);
    }
    for (auto& col : out.collections) {
        for (int k = 0; k < 3; ++k) {
            std::uint16_t len = 0;
            for (std::uint8_t id : col.reportIds[k])
                len = std::max(len, out.ReportBytes(static_cast<win::HIDP_REPORT_TYPE>(k), id));
            col.reportLength[k] = len;
        }
    }
    return out;
}

}  // namespace tavrik::hid
