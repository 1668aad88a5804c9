// The stored form of a target list: one "Parameter" element per target in
// list order. Loaded ranges are limited to 0 .. 1; a target that names no
// parameter of this plug-in stays unassigned, and the log says so once.

#include <algorithm>
#include <cctype>
#include <cmath>
#include <string>

#include "framework/core/DiagnosticLog.h"
#include "framework/modulation/TargetList.h"
#include "framework/storage/MStoreContext.h"

namespace corvane {

namespace {

double Unit(double x, double fallback) { return std::isfinite(x) ? std::min(std::max(x, 0.0), 1.0) : fallback; }

// Shared by the stored copy (saving) and the live target (loading).
template <class Entry>
void StoreBanks(MStoreContext& c, Entry& t, int32_t bankCount) {
    if (bankCount <= 0) return;
    c.Boolean("Interpolate", t.interpolate, StorePolicy::DefaultElided, false);
    for (int32_t b = 0; b < bankCount; ++b) {
        c.Real("Bank" + std::to_string(b), t.banks[b], StorePolicy::DefaultElided, 0.5);
        if (!c.storing) t.banks[b] = Unit(t.banks[b], 0.5);
    }
}

void StoreShapeOf(MStoreContext& c, TargetList::StoredTarget& t) {
    MStoreContext shapeContext(true, c.item.AddSubItem("Shape"));
    MEnvelope::StoreShape(shapeContext, t.shape);
}

void StoreShapeOf(MStoreContext& c, ModulationTarget& t) {
    c.InChild("Shape", [&](MStoreContext& shapeContext) { t.shape.Store(shapeContext); });
}

// One entry both ways; `name` is the stored name of its parameter.
template <class Entry>
void StoreEntry(MStoreContext& c, Entry& t, std::string& name, int32_t bankCount) {
    c.Boolean("ParameterEnabled", t.enabled, StorePolicy::DefaultElided, true);
    c.Text("ParameterName", name);
    c.Real("Value", t.range.value, StorePolicy::DefaultElided, 0.5);
    c.Real("MaxValue", t.range.maxValue, StorePolicy::DefaultElided, 1.0);
    c.Real("Range", t.range.range, StorePolicy::DefaultElided, 1.0);
    c.Integer("FullRange", t.range.mode, StorePolicy::AlwaysWritten);
    c.Boolean("Invert", t.invert, StorePolicy::DefaultElided, false);
    c.Boolean("UseFirstRange", t.useFirstRange, StorePolicy::DefaultElided, false);
    c.Boolean("ShapeEnabled", t.shapeEnabled, StorePolicy::DefaultElided, false);
    StoreShapeOf(c, t);
    c.Real("ValueBackup", t.backup, StorePolicy::DefaultElided, -1.0);
    StoreBanks(c, t, bankCount);
    if (c.storing) return;
    t.range.value = Unit(t.range.value, 0.5);
    t.range.maxValue = Unit(t.range.maxValue, 1.0);
    t.range.range = Unit(t.range.range, 1.0);
    if (!std::isfinite(t.backup)) t.backup = -1.0;
}

}  // namespace

void TargetList::Store(MStoreContext& context, ParameterNames& names, int32_t bankCount) {
    bankCount = std::min(bankCount, ModulationTarget::MaxBanks);
    if (context.storing) {
        std::vector<StoredTarget> copy;
        CopyTo(copy);
        for (StoredTarget& entry : copy) {
            MStoreContext c(true, context.item.AddSubItem("Parameter"));
            std::string name = entry.index >= 0 ? names.NameOf(entry.index) : std::string();
            StoreEntry(c, entry, name, bankCount);
        }
        return;
    }
    std::vector<std::unique_ptr<Target>> loaded;
    int32_t unknown = 0;
    std::string firstUnknown;
    MXMLItem::Iterator children;
    children.Init(context.item, "Parameter");
    while (MXMLItem* element = children.Next()) {
        if (loaded.size() == static_cast<size_t>(MaxTargets)) {
            DiagnosticLog::Write(std::string("A ") + owner_ + " keeps at most " + std::to_string(MaxTargets) +
                                 " targets; the state's further targets were left out.");
            break;
        }
        auto t = std::make_unique<Target>();
        MStoreContext c(false, *element);
        std::string name;
        StoreEntry(c, *t, name, bankCount);
        t->index = name.empty() ? -1 : names.IndexOf(name);
        if (!name.empty() && t->index < 0 && unknown++ == 0) firstUnknown = name;
        loaded.push_back(std::move(t));
    }
    if (unknown > 0)
        DiagnosticLog::Write(std::string(1, static_cast<char>(std::toupper(owner_[0]))) + (owner_ + 1) +
                             " targets name no parameter of this plug-in (" + std::to_string(unknown) +
                             ", the first \"" + firstUnknown + "\"); they stay unassigned.");
    if (loaded.empty()) return;  // the single default target stays
    MLock hold(*lock_);
    pendingRangeBits_.store(0);
    targets_.swap(loaded);
    PublishFirstRange();
}

}  // namespace corvane
