#include "platform/serial_bus.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <tuple>

#include "platform/serial_channel.h"

namespace kenvo {

namespace fs = std::filesystem;

namespace {

std::string_view trim(std::string_view s) {
    const auto notSpace = [](char c) { return c != ' ' && c != '\t' && c != '\n' && c != '\r'; };
    while (!s.empty() && !notSpace(s.front())) s.remove_prefix(1);
    while (!s.empty() && !notSpace(s.back())) s.remove_suffix(1);
    return s;
}

bool isAdapterName(const std::string& name) {
    return name.rfind("ttyUSB", 0) == 0 || name.rfind("ttyACM", 0) == 0;
}

// ttyACM0 < ttyACM2 < ttyUSB0 < ttyUSB10: by prefix, then by number.
std::tuple<std::string, long> naturalKey(const std::string& name) {
    const std::string prefix = name.substr(0, 6);
    return {prefix, std::strtol(name.c_str() + 6, nullptr, 10)};
}

// The USB product string of a tty: the first `product` file met walking up from its device.
std::string productOf(const fs::path& root, const fs::path& ttyEntry) {
    std::error_code ec;
    fs::path dir = fs::canonical(ttyEntry / "device", ec);
    if (ec) return {};
    while (!dir.empty() && dir != root && dir.string().rfind(root.string(), 0) == 0) {
        std::ifstream product(dir / "product");
        if (product) {
            std::string line;
            std::getline(product, line);
            return std::string(trim(line));
        }
        dir = dir.parent_path();
    }
    return {};
}

}  // namespace

std::vector<DeviceInfo> parseDeviceList(std::string_view text) {
    std::vector<DeviceInfo> devices;
    while (!text.empty()) {
        const std::size_t end = text.find(';');
        const std::string_view item = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view{} : text.substr(end + 1);
        const std::size_t eq = item.find('=');
        if (eq == std::string_view::npos) continue;
        const std::string_view path = trim(item.substr(0, eq));
        const std::string_view description = trim(item.substr(eq + 1));
        if (path.empty()) continue;
        devices.push_back({std::string(path), std::string(description)});
    }
    return devices;
}

SerialBus::Options SerialBus::fromEnvironment() {
    Options options;
    if (const char* extra = std::getenv("KENVOPLAT_SERIAL_DEVICES"))
        options.extraDevices = parseDeviceList(extra);
    return options;
}

std::vector<DeviceInfo> SerialBus::listDevices() {
    std::vector<DeviceInfo> devices;
    std::error_code ec;
    const fs::path root = fs::canonical(options_.sysfsRoot, ec);
    if (!ec) {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(root / "class" / "tty", ec)) {
            std::string name = entry.path().filename().string();
            if (isAdapterName(name)) names.push_back(std::move(name));
        }
        std::sort(names.begin(), names.end(),
                  [](const std::string& a, const std::string& b) { return naturalKey(a) < naturalKey(b); });
        for (const std::string& name : names)
            devices.push_back({(fs::path(options_.devRoot) / name).string(),
                               productOf(root, root / "class" / "tty" / name)});
    }
    devices.insert(devices.end(), options_.extraDevices.begin(), options_.extraDevices.end());
    return devices;
}

std::unique_ptr<DeviceChannel> SerialBus::open(const DeviceInfo& device, OpenError* error) {
    return openSerialChannel(device.path, error);
}

}  // namespace kenvo
