#include "usx2/usb/linux/SimulatedDeviceFile.h"

#include "platform/system/SmallFile.h"
#include "usx2/usb/VarantoUSBIds.h"

#include <algorithm>
#include <cctype>
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

bool parseNumber(const std::string& text, unsigned long limit, unsigned long& value)
{
    if (text.empty())
        return false;
    std::size_t used = 0;
    try {
        value = std::stoul(text, &used, 0);
    } catch (const std::exception&) {
        return false;
    }
    return used == text.size() && value <= limit && text[0] != '-';
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
    static const std::map<std::string, std::uint16_t> models = {
        {"rova", Ids::kRovaMK2ProductId}, {"sela", Ids::kSelaMK2ProductId}, {"tumo", Ids::kTumoMK2ProductId}};
    auto found = models.find(lower(name));
    if (found == models.end())
        return false;
    productId = found->second;
    return true;
}

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

    SimulatedDeviceDescription finish() const
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
};

template <typename T>
bool setNumber(const std::string& value, T& field)
{
    unsigned long number = 0;
    if (!parseNumber(value, static_cast<unsigned long>(static_cast<T>(~T(0))), number))
        return false;
    field = static_cast<T>(number);
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
        SimulatedDeviceDescription keyboard = SimulatedDeviceDescription::keyboard(productId, spec.serialNumber, spec.bcdDevice);
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

bool SimulatedDeviceFile::parse(const std::string& text, std::vector<SimulatedDeviceDescription>& devices,
                                std::string& error)
{
    std::vector<SimulatedDeviceDescription> parsed;
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

bool SimulatedDeviceFile::read(const std::string& path, std::vector<SimulatedDeviceDescription>& devices,
                               std::string& error)
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

} // namespace USX2
} // namespace CV
