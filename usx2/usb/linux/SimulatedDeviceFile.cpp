#include "usx2/usb/linux/SimulatedDeviceFile.h"

#include "platform/system/SmallFile.h"
#include "usx2/usb/VarantoUSBIds.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <chrono>
#include <functional>
#include <map>
#include <optional>
#include <sstream>

namespace CV {
namespace USX2 {

namespace {

std::string trim(const std::string& text)
{
    const auto isSpace = [](unsigned char c) { return std::isspace(c) != 0; };
    auto begin = std::find_if_not(text.begin(), text.end(), isSpace);
    auto end = std::find_if_not(text.rbegin(), text.rend(), isSpace).base();
    return begin < end ? std::string(begin, end) : std::string();
}

std::string lower(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::tolower(c); });
    return text;
}

// Decimal digits, or hexadecimal ones after "0x": a leading 0 is no octal
// mark. No sign, no blanks, nothing after the digits.
bool parseNumber(const std::string& text, unsigned long limit, unsigned long& value)
{
    const bool hexadecimal = text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
    const char* first = text.data() + (hexadecimal ? 2 : 0);
    const char* last = text.data() + text.size();
    unsigned long parsed = 0;
    const auto [end, error] = std::from_chars(first, last, parsed, hexadecimal ? 16 : 10);
    if (first == last || error != std::errc() || end != last || parsed > limit)
        return false;
    value = parsed;
    return true;
}

bool parseBool(const std::string& text, bool& value)
{
    const std::string word = lower(text);
    if (word == "yes" || word == "true" || word == "1")
        value = true;
    else if (word == "no" || word == "false" || word == "0")
        value = false;
    else
        return false;
    return true;
}

bool modelProductId(const std::string& name, std::uint16_t& productId)
{
    static const std::map<std::string, std::uint16_t> models = {{"rova", Ids::kRovaMK2ProductId},
                                                                {"sela", Ids::kSelaMK2ProductId},
                                                                {"tumo", Ids::kTumoMK2ProductId}};
    auto found = models.find(lower(name));
    if (found == models.end())
        return false;
    productId = found->second;
    return true;
}

// What a keyboard's loader shows in DFU mode where it differs.
struct DFUModeOverrides {
    std::optional<std::uint16_t> bcdDevice;
    std::optional<std::string> manufacturer;
    std::optional<std::string> product;
    std::optional<std::uint8_t> dfuAttributes;
    std::optional<std::uint16_t> dfuDetachTimeout;
    std::optional<std::uint16_t> dfuTransferSize;

    void applyTo(SimulatedDeviceDescription& spec) const
    {
        spec.bcdDevice = bcdDevice.value_or(spec.bcdDevice);
        spec.manufacturer = manufacturer.value_or(spec.manufacturer);
        spec.product = product.value_or(spec.product);
        spec.dfuAttributes = dfuAttributes.value_or(spec.dfuAttributes);
        spec.dfuDetachTimeout = dfuDetachTimeout.value_or(spec.dfuDetachTimeout);
        spec.dfuTransferSize = dfuTransferSize.value_or(spec.dfuTransferSize);
    }
};

// One device section being read: keys may come in any order, so the model
// and mode are applied when the section ends.
struct Section {
    SimulatedDeviceDescription spec;
    std::string model;
    bool dfuMode = false;
    bool hasVendorId = false;
    bool hasProductId = false;
    std::uint16_t vendorId = 0;
    std::uint16_t productId = 0;
    DFUModeOverrides dfuModeOverrides;
    SimulatedDFUKeyboard::Options keyboard;
    std::chrono::milliseconds arrivesAfter{0};
    std::optional<std::chrono::milliseconds> leavesAfter;

    SimulatedDeviceDescription firstShown() const
    {
        SimulatedDeviceDescription result = spec;
        if (dfuMode)
            result = result.inDFUMode();
        if (hasVendorId)
            result.vendorId = vendorId;
        if (hasProductId)
            result.productId = productId;
        return result;
    }

    SimulatedDeviceFile::Entry finish() const
    {
        SimulatedDeviceFile::Entry entry;
        entry.spec = firstShown();
        entry.applicationMode = dfuMode ? entry.spec.inApplicationMode() : entry.spec;
        entry.applicationMode.hidInterfaces = spec.hidInterfaces;
        entry.applicationMode.bcdDevice = spec.bcdDevice;
        SimulatedDeviceDescription inDFUMode = dfuMode ? entry.spec : entry.spec.inDFUMode();
        dfuModeOverrides.applyTo(inDFUMode);
        if (dfuMode)
            entry.spec = inDFUMode;
        entry.arrivesAfter = arrivesAfter;
        entry.leavesAfter = leavesAfter;
        entry.keyboard = keyboard;
        entry.keyboard.newBcdDevice = spec.updatedBcdDevice ? spec.updatedBcdDevice : spec.bcdDevice;
        entry.keyboard.startsInDFUMode = dfuMode;
        entry.keyboard.dfuMode = inDFUMode;
        return entry;
    }
};

template <typename T> bool setNumber(const std::string& value, T& field)
{
    unsigned long number = 0;
    if (!parseNumber(value, static_cast<unsigned long>(static_cast<T>(~T(0))), number))
        return false;
    field = static_cast<T>(number);
    return true;
}

// bwPollTimeout is 24 bits wide.
bool setPollTimeout(const std::string& value, std::uint32_t& field)
{
    unsigned long number = 0;
    if (!parseNumber(value, DFU::kMaxPollTimeout, number))
        return false;
    field = static_cast<std::uint32_t>(number);
    return true;
}

// Milliseconds, or seconds with "s" ("3s", "250ms", "250").
bool parseDuration(const std::string& text, std::chrono::milliseconds& duration)
{
    constexpr unsigned long kMaxMilliseconds = 24UL * 60 * 60 * 1000;
    std::string number = text;
    unsigned long factor = 1;
    const std::string word = lower(text);
    if (word.size() > 2 && word.compare(word.size() - 2, 2, "ms") == 0) {
        number = trim(text.substr(0, text.size() - 2));
    } else if (word.size() > 1 && word.back() == 's') {
        number = trim(text.substr(0, text.size() - 1));
        factor = 1000;
    }
    unsigned long value = 0;
    if (!parseNumber(number, kMaxMilliseconds / factor, value))
        return false;
    duration = std::chrono::milliseconds(value * factor);
    return true;
}

bool parseSwitchFault(const std::string& text, SimulatedDFUFunction::SwitchFault& fault)
{
    const std::string word = lower(text);
    if (word == "none")
        fault = SimulatedDFUFunction::SwitchFault::none;
    else if (word == "ignored")
        fault = SimulatedDFUFunction::SwitchFault::ignored;
    else if (word == "failsbutswitches")
        fault = SimulatedDFUFunction::SwitchFault::failsButSwitches;
    else
        return false;
    return true;
}

template <typename T> bool setOptional(const std::string& value, std::optional<T>& field)
{
    T number = 0;
    if (!setNumber(value, number))
        return false;
    field = number;
    return true;
}

// A block number (0..65535) or a mode switch (1..255) into an int field.
bool setIndex(const std::string& value, unsigned long first, unsigned long last, int& field)
{
    unsigned long number = 0;
    if (!parseNumber(value, last, number) || number < first)
        return false;
    field = static_cast<int>(number);
    return true;
}

// The keys of a keyboard's DFU mode, timings and faults. Returns false with
// `problem` set for a malformed value, nullopt for a key it does not know.
std::optional<bool> applyKeyboardKey(Section& section, const std::string& key, const std::string& value,
                                     std::string& problem)
{
    SimulatedDFUKeyboard::Options& keyboard = section.keyboard;
    SimulatedDFUFunction::Faults& faults = keyboard.faults;
    DFUModeOverrides& dfuMode = section.dfuModeOverrides;
    if (key == "dfumode.manufacturer" || key == "dfumode.product") {
        (key == "dfumode.product" ? dfuMode.product : dfuMode.manufacturer) = value;
        return true;
    }
    if (key == "shortstatus") {
        const std::string word = lower(value);
        faults.shortStatusInManifestation = word == "manifestation";
        faults.shortGetStatus = word == "always";
        if (word == "manifestation" || word == "always" || word == "never")
            return true;
        problem = "shortStatus is manifestation, always or never";
        return false;
    }
    if (key == "detach" || key == "returnrequest") {
        if (parseSwitchFault(value, key == "detach" ? faults.detach : faults.returnRequest))
            return true;
        problem = key + " is none, ignored or failsButSwitches";
        return false;
    }
    if (key == "otherserial") {
        keyboard.otherSerialNumber = value;
        return true;
    }

    using Setter = std::function<bool(const std::string&)>;
    using Millis = std::chrono::milliseconds;
    const auto duration = [](Millis& field) {
        return [&field](const std::string& v) { return parseDuration(v, field); };
    };
    const auto optionalDuration = [](std::optional<Millis>& field) {
        return [&field](const std::string& v) {
            Millis parsed{0};
            if (!parseDuration(v, parsed))
                return false;
            field = parsed;
            return true;
        };
    };
    const auto block = [](int& field) {
        return [&field](const std::string& v) { return setIndex(v, 0, 0xFFFF, field); };
    };
    const auto modeSwitch = [](int& field) {
        return [&field](const std::string& v) { return setIndex(v, 1, 0xFF, field); };
    };
    const auto byte = [](int& field) { return [&field](const std::string& v) { return setIndex(v, 0, 0xFF, field); }; };
    const auto yesNo = [](bool& field) { return [&field](const std::string& v) { return parseBool(v, field); }; };
    const std::map<std::string, Setter> setters = {
        {"arrivesafter", duration(section.arrivesAfter)},
        {"leavesafter", optionalDuration(section.leavesAfter)},
        {"dfumode.bcddevice", [&](const std::string& v) { return setOptional(v, dfuMode.bcdDevice); }},
        {"dfumode.dfuattributes", [&](const std::string& v) { return setOptional(v, dfuMode.dfuAttributes); }},
        {"dfumode.dfudetachtimeout", [&](const std::string& v) { return setOptional(v, dfuMode.dfuDetachTimeout); }},
        {"dfumode.dfutransfersize", [&](const std::string& v) { return setOptional(v, dfuMode.dfuTransferSize); }},
        {"detachdelay", optionalDuration(keyboard.detachDelay)},
        {"returndelay", optionalDuration(keyboard.returnDelay)},
        {"busytime", duration(keyboard.busyTime)},
        {"busyanswers", [&](const std::string& v) { return setNumber(v, keyboard.busyAnswers); }},
        {"busypolltimeout", [&](const std::string& v) { return setPollTimeout(v, keyboard.bwPollTimeout); }},
        {"polltimeout", [&](const std::string& v) { return setPollTimeout(v, keyboard.statusPollTimeout); }},
        {"manifesttime", duration(keyboard.manifestTime)},
        {"stallatblock", block(faults.stallAtBlock)},
        {"erroratblock", block(faults.errorAtBlock)},
        {"errorstatus", [&](const std::string& v) { return setNumber(v, faults.errorStatus); }},
        {"busyforeveratblock", block(faults.endlessBusyAtBlock)},
        {"shortstatusatblock", block(faults.shortStatusAtBlock)},
        {"stateatblock", block(faults.stateAtBlock)},
        {"stateafterblock", [&](const std::string& v) { return setNumber(v, faults.stateAfterBlock); }},
        {"stallfinaldownload", yesNo(faults.stallFinalDownload)},
        {"manifestationerror", [&](const std::string& v) { return setNumber(v, faults.manifestationError); }},
        {"manifestforever", yesNo(faults.endlessManifest)},
        {"firstgetstate", byte(faults.firstGetState)},
        {"getstatefails", yesNo(faults.failingGetState)},
        {"noreturnatswitch", modeSwitch(faults.noReturnAtSwitch)},
        {"otherserialatswitch", modeSwitch(faults.otherSerialAtSwitch)},
    };
    auto setter = setters.find(key);
    if (setter == setters.end())
        return std::nullopt;
    if (!setter->second(value)) {
        problem = "\"" + value + "\" is not a valid value for " + key;
        return false;
    }
    return true;
}

bool applyKey(Section& section, const std::string& key, const std::string& value, std::string& problem)
{
    SimulatedDeviceDescription& spec = section.spec;
    if (key == "model") {
        std::uint16_t productId = 0;
        if (!modelProductId(value, productId)) {
            problem = "unknown model \"" + value + "\" (rova, sela or tumo)";
            return false;
        }
        // Keep what the section already set.
        SimulatedDeviceDescription keyboard =
            SimulatedDeviceDescription::keyboard(productId, spec.serialNumber, spec.bcdDevice);
        spec.vendorId = keyboard.vendorId;
        spec.productId = keyboard.productId;
        if (spec.manufacturer.empty())
            spec.manufacturer = keyboard.manufacturer;
        if (spec.product.empty())
            spec.product = keyboard.product;
        spec.hidInterfaces = keyboard.hidInterfaces;
        return true;
    }
    if (key == "mode") {
        const std::string mode = lower(value);
        if (mode != "application" && mode != "dfu") {
            problem = "mode is application or dfu";
            return false;
        }
        section.dfuMode = mode == "dfu";
        return true;
    }
    if (key == "serial" || key == "serialnumber") {
        spec.serialNumber = value;
        return true;
    }
    if (key == "manufacturer") {
        spec.manufacturer = value;
        return true;
    }
    if (key == "product") {
        spec.product = value;
        return true;
    }
    if (key == "dfu")
        return parseBool(value, spec.dfuInterface) || (problem = "dfu is yes or no", false);

    using Setter = std::function<bool(const std::string&)>;
    const std::map<std::string, Setter> numbers = {
        {"vendorid", [&](const std::string& v) { return section.hasVendorId = setNumber(v, section.vendorId); }},
        {"productid", [&](const std::string& v) { return section.hasProductId = setNumber(v, section.productId); }},
        {"bcddevice", [&](const std::string& v) { return setNumber(v, spec.bcdDevice); }},
        {"maxpacketsize0", [&](const std::string& v) { return setNumber(v, spec.maxPacketSize0); }},
        {"hidinterfaces", [&](const std::string& v) { return setNumber(v, spec.hidInterfaces); }},
        {"dfuprotocol", [&](const std::string& v) { return setNumber(v, spec.dfuProtocol); }},
        {"dfuattributes", [&](const std::string& v) { return setNumber(v, spec.dfuAttributes); }},
        {"dfudetachtimeout", [&](const std::string& v) { return setNumber(v, spec.dfuDetachTimeout); }},
        {"dfutransfersize", [&](const std::string& v) { return setNumber(v, spec.dfuTransferSize); }},
        {"updatedbcddevice", [&](const std::string& v) { return setNumber(v, spec.updatedBcdDevice); }},
    };
    auto setter = numbers.find(key);
    if (setter == numbers.end()) {
        if (std::optional<bool> applied = applyKeyboardKey(section, key, value, problem))
            return *applied;
        problem = "unknown key \"" + key + "\"";
        return false;
    }
    if (!setter->second(value)) {
        problem = "\"" + value + "\" is not a valid number for " + key;
        return false;
    }
    return true;
}

} // namespace

bool SimulatedDeviceFile::parse(const std::string& text, std::vector<Entry>& devices, std::string& error)
{
    std::vector<Entry> parsed;
    std::optional<Section> section;
    std::istringstream lines(text);
    std::string line;
    for (unsigned number = 1; std::getline(lines, line); ++number) {
        const std::string content = trim(line.substr(0, line.find('#')));
        if (content.empty())
            continue;
        const std::string where = "line " + std::to_string(number) + ": ";
        if (lower(content) == "[device]") {
            if (section)
                parsed.push_back(section->finish());
            if (parsed.size() == kMaxDevices) {
                error = where + "more than " + std::to_string(kMaxDevices) + " devices";
                return false;
            }
            section.emplace();
            continue;
        }
        const std::size_t equals = content.find('=');
        if (equals == std::string::npos) {
            error = where + "expected \"key = value\" or [device]";
            return false;
        }
        if (!section) {
            error = where + "a key before the first [device]";
            return false;
        }
        std::string problem;
        if (!applyKey(*section, lower(trim(content.substr(0, equals))), trim(content.substr(equals + 1)), problem)) {
            error = where + problem;
            return false;
        }
    }
    if (section)
        parsed.push_back(section->finish());
    devices = std::move(parsed);
    return true;
}

bool SimulatedDeviceFile::read(const std::string& path, std::vector<Entry>& devices, std::string& error)
{
    std::string text;
    const platform::SmallFile::Outcome outcome = platform::SmallFile::read(path, kMaxFileBytes, text);
    if (!outcome) {
        error = "cannot read " + path + ": " + outcome.reason();
        return false;
    }
    if (!parse(text, devices, error)) {
        error = path + ": " + error;
        return false;
    }
    return true;
}

namespace {
std::vector<SimulatedDeviceDescription> descriptionsOf(const std::vector<SimulatedDeviceFile::Entry>& entries)
{
    std::vector<SimulatedDeviceDescription> specs;
    for (const SimulatedDeviceFile::Entry& entry : entries)
        specs.push_back(entry.spec);
    return specs;
}
} // namespace

bool SimulatedDeviceFile::parse(const std::string& text, std::vector<SimulatedDeviceDescription>& devices,
                                std::string& error)
{
    std::vector<Entry> entries;
    if (!parse(text, entries, error))
        return false;
    devices = descriptionsOf(entries);
    return true;
}

bool SimulatedDeviceFile::read(const std::string& path, std::vector<SimulatedDeviceDescription>& devices,
                               std::string& error)
{
    std::vector<Entry> entries;
    if (!read(path, entries, error))
        return false;
    devices = descriptionsOf(entries);
    return true;
}

} // namespace USX2
} // namespace CV
