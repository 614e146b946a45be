#include "usx2/usb/USBDevice.h"

#include <algorithm>
#include <iterator>

namespace CV {
namespace USX2 {

namespace {
struct StatusText {
    USBDevice::Status status;
    const char* text;
};

// Sorted by status value. The values 0xE00002BC..0xE00002F0 and
// 0xE0004001..0xE0004061 are the platform's published I/O and USB error codes.
constexpr StatusText kStatusTexts[] = {
    {0x00000000, "success"},
    {0x0BADBABE, "device not connected"},
    {0xE0000001, "kIOReturnInvalid: should never be seen"},
    {0xE00002BC, "general error"},
    {0xE00002BD, "can't allocate memory"},
    {0xE00002BE, "resource shortage"},
    {0xE00002BF, "error during IPC"},
    {0xE00002C0, "no such device"},
    {0xE00002C1, "privilege violation"},
    {0xE00002C2, "invalid argument"},
    {0xE00002C3, "device read locked"},
    {0xE00002C4, "device write locked"},
    {0xE00002C5, "exclusive access and device already open"},
    {0xE00002C6, "sent/received messages"},
    {0xE00002C7, "unsupported function"},
    {0xE00002C8, "misc. VM failure"},
    {0xE00002C9, "internal error"},
    {0xE00002CA, "General I/O error"},
    {0xE00002CC, "can't acquire lock"},
    {0xE00002CD, "device not open"},
    {0xE00002CE, "read not supported"},
    {0xE00002CF, "write not supported"},
    {0xE00002D0, "alignment error"},
    {0xE00002D1, "Media Error"},
    {0xE00002D2, "device(s) still open"},
    {0xE00002D3, "rld failure"},
    {0xE00002D4, "DMA failure"},
    {0xE00002D5, "Device Busy"},
    {0xE00002D6, "I/O Timeout"},
    {0xE00002D7, "device offline"},
    {0xE00002D8, "not ready"},
    {0xE00002D9, "device not attached"},
    {0xE00002DA, "no DMA channels left"},
    {0xE00002DB, "no space for data"},
    {0xE00002DD, "port already exists"},
    {0xE00002DE, "can't wire down"},
    {0xE00002DF, "no interrupt attached"},
    {0xE00002E0, "no DMA frames enqueued"},
    {0xE00002E1, "oversized msg received on interrupt port"},
    {0xE00002E2, "not permitted"},
    {0xE00002E3, "no power to device"},
    {0xE00002E4, "media not present"},
    {0xE00002E5, "media not formatted"},
    {0xE00002E6, "no such mode"},
    {0xE00002E7, "data underrun"},
    {0xE00002E8, "data overrun"},
    {0xE00002E9, "the device is not working properly"},
    {0xE00002EA, "a completion routine is required"},
    {0xE00002EB, "operation aborted"},
    {0xE00002EC, "bus bandwidth would be exceeded"},
    {0xE00002ED, "device not responding"},
    {0xE00002EE, "isochronous I/O request for distant past"},
    {0xE00002EF, "isochronous I/O request for distant future"},
    {0xE00002F0, "data was not found"},
    {0xE0004001, "Pipe stall, bad CRC"},
    {0xE0004002, "Pipe stall, bitstuffing"},
    {0xE0004003, "Pipe stall, Bad data toggle"},
    {0xE0004006, "Pipe stall, PID CRC error"},
    {0xE0004007, "Pipe stall, Bad or wrong PID"},
    {0xE000400C, "Buffer Overrun (Host hardware failure on data out, PCI busy?)"},
    {0xE000400D, "Buffer Underrun (Host hardware failure on data out, PCI busy?)"},
    {0xE000400E, "Transaction not sent"},
    {0xE000400F, "Transaction not sent"},
    {0xE0004010, "LinkErr"},
    {0xE0004049, "The device is not a high speed device, so the EHCI driver returns an error"},
    {0xE000404A, "A synchronous USB request was made on the workloop thread (from a callback?)."},
    {0xE000404B, "Error to hub on high speed bus trying to do split transaction"},
    {0xE000404E, "Interface ref not recognized"},
    {0xE000404F, "Pipe has stalled"},
    {0xE0004050, "The transaction has been returned to the caller"},
    {0xE0004051, "Transaction timed out"},
    {0xE0004056, "Configuration Not found"},
    {0xE0004057, "Endpoint Not found"},
    {0xE000405D, "not enough power for selected configuration"},
    {0xE000405E, "not enough pipes in interface"},
    {0xE000405F, "no async port"},
    {0xE0004060, "Too many pipes"},
    {0xE0004061, "Pipe ref not recognized"},
    {0xFFFFFFFF, "(Minus One: -1)"},
};
} // namespace

const char* USBDevice::statusAsString(Status status)
{
    const auto* end = std::end(kStatusTexts);
    const auto* found = std::lower_bound(std::begin(kStatusTexts), end, status,
                                         [](const StatusText& row, Status value) { return row.status < value; });
    if (found == end || found->status != status)
        return "unknown";
    return found->text;
}

} // namespace USX2
} // namespace CV
