#include "settings/settingstable.h"

#include <stdexcept>

#include "platform/profilefile.h"

namespace orba {

namespace {

struct Reader {
    const ProfileFile& file;
    const SettingKey& key;
    Settings& values;
    void operator()(bool Settings::*f) const {
        values.*f = file.readBool(key.section, key.key, values.*f);
    }
    void operator()(int Settings::*f) const {
        values.*f = file.readInteger(key.section, key.key, values.*f);
    }
    void operator()(std::string Settings::*f) const {
        values.*f = file.readString(key.section, key.key, values.*f);
    }
};

struct Writer {
    ProfileFile& file;
    const SettingKey& key;
    const Settings& values;
    void operator()(bool Settings::*f) const { file.writeBool(key.section, key.key, values.*f); }
    void operator()(int Settings::*f) const { file.writeInteger(key.section, key.key, values.*f); }
    void operator()(std::string Settings::*f) const {
        file.writeString(key.section, key.key, values.*f);
    }
};

}  // namespace

const SettingKey& settingKeyOf(const SettingField& field) {
    for (const SettingKey& k : kSettingKeys)
        if (k.field == field) return k;
    throw std::logic_error("a settings field without a key");
}

void readSettingKeys(const ProfileFile& file, Settings& values) {
    for (const SettingKey& k : kSettingKeys) std::visit(Reader{file, k, values}, k.field);
}

void readSettingKeys(const ProfileFile& file, Settings& values,
                     std::span<const SettingField> fields) {
    for (const SettingField& field : fields)
        std::visit(Reader{file, settingKeyOf(field), values}, field);
}

void writeSettingKeys(ProfileFile& file, const Settings& values,
                      std::span<const SettingField> fields) {
    for (const SettingField& field : fields)
        std::visit(Writer{file, settingKeyOf(field), values}, field);
}

}  // namespace orba
