#pragma once
// A libjpeg data source that reads a stream in blocks of BufferSize bytes.
//
// The end of the data is reported as a suspension (fill returns FALSE), so a
// truncated file makes the read fail instead of letting the decoder run on
// an empty buffer. Skips past the buffer seek the storage.
#include <cstddef>
#include <cstdio>

#include <jpeglib.h>

#include "BAS/IStorage.h"
#include "BAS/Stream.h"

namespace CV {
namespace FEN {

template <size_t BufferSize> struct JPGSourceManager {
    jpeg_source_mgr pub; // first member: libjpeg sees this record
    BAS::Stream* stream;
    size_t bytesRead = 0; // from the stream so far
    JOCTET buffer[BufferSize];

    explicit JPGSourceManager(BAS::Stream& source)
        : stream(&source)
    {
        pub.next_input_byte = nullptr;
        pub.bytes_in_buffer = 0;
        pub.init_source = &initSource;
        pub.fill_input_buffer = &fillInputBuffer;
        pub.skip_input_data = &skipInputData;
        pub.resync_to_restart = &jpeg_resync_to_restart;
        pub.term_source = &jpg_term_source;
    }

    // Installs the source on a decompressor; the source must outlive it.
    void install(j_decompress_ptr cinfo) { cinfo->src = &pub; }

    static JPGSourceManager& of(j_decompress_ptr cinfo) { return *reinterpret_cast<JPGSourceManager*>(cinfo->src); }

    static void initSource(j_decompress_ptr cinfo)
    {
        JPGSourceManager& self = of(cinfo);
        self.pub.next_input_byte = self.buffer;
        self.pub.bytes_in_buffer = 0;
    }

    static boolean fillInputBuffer(j_decompress_ptr cinfo)
    {
        JPGSourceManager& self = of(cinfo);
        size_t const count = self.stream->readRaw(self.buffer, BufferSize);
        self.bytesRead += count;
        self.pub.next_input_byte = self.buffer;
        self.pub.bytes_in_buffer = count;
        return count > 0 ? TRUE : FALSE;
    }

    static void skipInputData(j_decompress_ptr cinfo, long count)
    {
        if (count <= 0)
            return;
        JPGSourceManager& self = of(cinfo);
        size_t const wanted = static_cast<size_t>(count);
        size_t const buffered = wanted < self.pub.bytes_in_buffer ? wanted : self.pub.bytes_in_buffer;
        self.pub.next_input_byte += buffered;
        self.pub.bytes_in_buffer -= buffered;
        if (wanted > buffered) {
            BAS::IStorage* storage = self.stream->getStorage();
            if (storage)
                storage->seek64(static_cast<int64_t>(wanted - buffered), BAS::IStorage::eSeekCurrent);
        }
    }

    static void jpg_term_source(j_decompress_ptr) { }
};

} // namespace FEN
} // namespace CV
