#pragma once
// Named presets of one kind of object in a preset file of nested folders:
// "<kind>presets.xml" in the maker's data folder, read anew by every
// operation so that several instances share it, and written back whole
// (through a temporary file renamed over it) after every change.
// [main-thread] every operation; loading a preset takes the owner's locks.

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "framework/storage/MStoreContext.h"
#include "framework/storage/MXMLItem.h"
#include "framework/storage/PresetDocument.h"

namespace corvane {

// What owns presets: writes its settings into a preset element and reads
// them back (the owner's store operation, both ways).
class MPresetBase {
public:
    virtual ~MPresetBase() = default;
    virtual void StoreIntoPreset(MXMLItem& preset, bool replacing) = 0;
    virtual void LoadFromPreset(MXMLItem& tree) = 0;
    // A new preset named `name`; false when the owner declines.
    virtual bool CreatePreset(MXMLItem& preset, const std::string& name);
};

class MPresetManagerBase {
public:
    // The user's answer to a confirmation question.
    using Confirm = std::function<bool(const std::string& question)>;
    static constexpr const char* ReplaceQuestion = "Are you sure you want to replace selected preset?";
    static constexpr const char* DeleteQuestion = "Are you sure you want to delete selected preset?";
    static constexpr const char* ImportQuestion =
        "This function will replace remove all presets in selected directory and replace them with presets loaded "
        "from the file. Are you sure you want to continue?";
    static constexpr const char* ExchangeExtension = "mpresets";
    static constexpr const char* ExchangeDescription = "Preset directories";

    // `name` is the kind's file stem ("Sonvera": "Sonverapresets.xml");
    // `folder` defaults to the maker's data folder, looked up at each operation.
    MPresetManagerBase(std::string name, MPresetBase& owner, std::string folder = std::string());
    virtual ~MPresetManagerBase() = default;

    const std::string& Name() const { return name_; }
    std::string Folder() const;
    std::string FilePath() const;
    // The current preset's number; also stored with the plug-in's state. [any]
    int32_t CurrentIndex() const { return current_.load(std::memory_order_relaxed); }
    void SetCurrentIndex(int32_t index) { current_.store(index, std::memory_order_relaxed); }
    // Presets that a missing preset file starts with (a root element named
    // like the file's); kept as a copy.
    void SetFactoryPresets(const MXMLItem& factory) { factory_ = factory; }

    // Every preset as "Folder/Sub/Name", in numbering order.
    std::vector<std::string> List();
    // The number of a preset by "Folder/Name" path; -1 when there is none.
    int32_t Find(const std::string& path);

    // Each returns whether it did its work; failures are logged.
    bool LoadPreset(int32_t index);
    bool Step(int32_t delta);
    bool SaveNew(const std::string& folder, const std::string& name);
    bool ReplaceCurrent(const Confirm& confirm);
    bool DeletePreset(int32_t index, const Confirm& confirm);
    bool RenamePreset(int32_t index, const std::string& name);
    bool CreateFolder(const std::string& parent, const std::string& name);
    bool RenameFolder(const std::string& folder, const std::string& name);
    bool DeleteFolder(const std::string& folder, const Confirm& confirm);
    bool ExportFolder(const std::string& folder, const std::string& file);
    bool ImportFolder(const std::string& folder, const std::string& file, const Confirm& confirm);
    // Random settings from the "Randomizer" folders, loaded into the owner.
    bool RandomSettings(uint32_t seed);

    // Merges the source file's presets into the destination file, written
    // back only when something was added; the number added, -1 on failure.
    static int32_t Merge(const std::string& destination, const std::string& source, int32_t exchangeIndex = -1);

private:
    // The file's document; a missing file starts from the factory presets.
    // A file that does not parse is moved aside (when about to be changed) so
    // no save can overwrite the user's presets; throws when it cannot be read.
    MXMLItem Read(bool forChange);
    void Write(MXMLItem& document);
    // Runs an operation with the failure logged under the manager's name.
    bool Guard(const char* operation, const std::function<bool()>& body);
    void MergeOlderLocation();

    std::string name_, folder_;
    MPresetBase& owner_;
    MXMLItem factory_;
    std::atomic<int32_t> current_{0};
};

// A manager over an owner class with one two-way store operation.
template <class Owner>
class MPresetManagerT : public MPresetManagerBase {
public:
    using Store = std::function<void(Owner&, MStoreContext&)>;
    MPresetManagerT(std::string name, Owner& owner, Store store, std::string folder = std::string())
        : MPresetManagerBase(std::move(name), adapter_, std::move(folder)), adapter_(owner, std::move(store)) {}

private:
    struct Adapter : MPresetBase {
        Adapter(Owner& owner, Store store) : owner(owner), store(std::move(store)) {}
        void StoreIntoPreset(MXMLItem& preset, bool /*replacing*/) override {
            MStoreContext context(true, preset);
            store(owner, context);
        }
        void LoadFromPreset(MXMLItem& tree) override {
            MStoreContext context(false, tree);
            store(owner, context);
        }
        Owner& owner;
        Store store;
    };
    Adapter adapter_;
};

}  // namespace corvane
