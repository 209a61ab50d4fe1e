#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// An owned byte string and its escaped text form, the text every DATA column holds.
//
// Escaped text of n bytes: an offset character e, then each byte b as x = (b - e) mod 256,
// written as 01 01 for x = 0, 01 02 for x = 1, 01 03 for x = 0x27, else as x itself; then NUL.
// e is chosen so that as few bytes as possible need escaping. The text holds no NUL before its
// end and no single quote, so it is stored with %Q unchanged. Zero bytes encode as "x".
class CSQLiteBinary {
public:
    CSQLiteBinary() = default;
    // Copies the bytes when bytes is non-null and length is above 0; else starts empty.
    CSQLiteBinary(const void* bytes, int length);
    virtual ~CSQLiteBinary();

    CSQLiteBinary(const CSQLiteBinary&) = delete;
    CSQLiteBinary& operator=(const CSQLiteBinary&) = delete;

    // Destroys an object handed out with new (as the database layer's AsBinary does).
    virtual void Release();

    // Replaces the contents with a copy of length bytes (empty for null or length <= 0).
    void SetData(const void* bytes, int length);
    // Wipes and frees the contents.
    void Clear();
    // Null while empty.
    const std::uint8_t* GetData() const { return m_data; }
    int GetLength() const { return m_length; }

    // The contents as escaped text (without the terminating NUL of the stored form); an empty
    // text when the encoding buffer cannot be allocated.
    std::string ToText() const;
    // Replaces the contents by the decoding of the NUL-terminated text. Returns 1 on success
    // and 0 when the text is malformed (an escape mark followed by anything but 01, 02 or 03,
    // or by the end), leaving the contents unchanged. A null or empty text decodes to zero
    // bytes.
    int FromText(const char* text);
    int FromText(const std::string& text) { return FromText(text.c_str()); }

    // Upper bound of the encoded length of n bytes, terminator included: 257 * n / 254 + 20.
    static std::size_t EncodedBound(std::size_t n);
    // The offset character the encoder chooses for these bytes (0 for none).
    static int ChooseOffset(const std::uint8_t* bytes, std::size_t n);

private:
    std::uint8_t* m_data = nullptr;
    int m_length = 0;
};
