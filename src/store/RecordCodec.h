#pragma once
// Building blocks of the stored records: fixed-length texts, arrays indexed as stored, and the
// little-endian codec that reads and writes every field at its offset.
//
// A record lists its fields once, in stored order, in a static visit(self, v) function; the
// same list gives its size at compile time, its reader and its writer.

#include "platform/Cp1252.h"

#include <QString>
#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <span>
#include <type_traits>

namespace tavrin {

using Currency = std::int64_t;  // value times 10,000

[[noreturn]] inline void IndexOutOfRange(int i, int lo, int hi)
{
    std::fprintf(stderr, "Tavrin: index %d outside %d..%d\n", i, lo, hi);
    std::abort();
}

// An array indexed Lo..Hi as the stored field is; a bad index is a program error.
template <class T, int Lo, int Hi>
struct VbArray {
    static_assert(Hi >= Lo);
    static constexpr int kLow = Lo;
    static constexpr int kHigh = Hi;
    static constexpr std::size_t kCount = static_cast<std::size_t>(Hi - Lo + 1);
    std::array<T, kCount> items{};

    constexpr T& operator[](int i)
    {
        if (i < Lo || i > Hi) [[unlikely]] IndexOutOfRange(i, Lo, Hi);
        return items[static_cast<std::size_t>(i - Lo)];
    }
    constexpr const T& operator[](int i) const
    {
        if (i < Lo || i > Hi) [[unlikely]] IndexOutOfRange(i, Lo, Hi);
        return items[static_cast<std::size_t>(i - Lo)];
    }
    static constexpr bool contains(int i) { return i >= Lo && i <= Hi; }
    constexpr void fill(const T& v) { items.fill(v); }
    constexpr auto begin() { return items.begin(); }
    constexpr auto end() { return items.end(); }
    constexpr auto begin() const { return items.begin(); }
    constexpr auto end() const { return items.end(); }
    friend constexpr bool operator==(const VbArray&, const VbArray&) = default;
};

// N bytes of Windows-1252 text, blank-padded. A field never assigned holds zero bytes.
template <std::size_t N>
struct FixedText {
    static constexpr std::size_t kSize = N;
    std::array<std::uint8_t, N> bytes{};

    FixedText() = default;
    FixedText(const QString& s) { set(s); }  // NOLINT: texts are assigned like strings
    FixedText(const char* s) { set(QString::fromLatin1(s)); }  // NOLINT

    // Stores the text cut to N bytes and padded with blanks.
    void set(const QString& s)
    {
        const QByteArray b = StringToCp1252(s);
        const std::size_t n = std::min<std::size_t>(N, static_cast<std::size_t>(b.size()));
        std::memcpy(bytes.data(), b.constData(), n);
        std::memset(bytes.data() + n, ' ', N - n);
    }
    FixedText& operator=(const QString& s) { set(s); return *this; }
    FixedText& operator=(const char* s) { set(QString::fromLatin1(s)); return *this; }

    // The text with trailing blanks (and the zero bytes of a never-assigned field) removed.
    QString str() const
    {
        std::size_t n = N;
        while (n > 0 && (bytes[n - 1] == ' ' || bytes[n - 1] == 0)) --n;
        return Cp1252ToString(bytes.data(), n);
    }
    // The whole field, padding included.
    QString raw() const { return Cp1252ToString(bytes.data(), N); }
    void clear() { bytes.fill(0); }
    void blank() { bytes.fill(' '); }
    friend bool operator==(const FixedText&, const FixedText&) = default;
};

template <class T>
struct IsFixedText : std::false_type {};
template <std::size_t N>
struct IsFixedText<FixedText<N>> : std::true_type {};

template <class T>
struct IsVbArray : std::false_type {};
template <class T, int Lo, int Hi>
struct IsVbArray<VbArray<T, Lo, Hi>> : std::true_type {};

template <class T>
concept Scalar = std::is_arithmetic_v<T>;

// Types whose bytes in memory are their stored bytes (scalars on a little-endian machine and
// fixed texts), so that arrays of them are copied in one go.
template <class T>
constexpr bool WireIdentical()
{
    if constexpr (Scalar<T>) return std::endian::native == std::endian::little;
    else if constexpr (IsFixedText<T>::value) return sizeof(T) == T::kSize;
    else return false;
}
template <class F>
constexpr bool kBlockCopy = false;
template <class T, int Lo, int Hi>
constexpr bool kBlockCopy<VbArray<T, Lo, Hi>> = WireIdentical<T>();

// A record that lies in memory exactly as it is stored (fields in stored order, without gaps,
// each kept as its stored bytes) can be read and written as its own bytes. A record says so by
// specialising this, beside static_asserts of its field offsets.
template <class R>
inline constexpr bool kWireImage = false;

namespace codec {

// Stored size of one field.
template <class T>
constexpr std::size_t SizeOf();

struct SizeCounter {
    std::size_t n = 0;
    template <class... F>
    constexpr void operator()(F&... f) { (add(f), ...); }
    template <class F>
    constexpr void add(F&) { n += SizeOf<F>(); }
};

template <class T>
constexpr std::size_t SizeOf()
{
    if constexpr (Scalar<T>) {
        return sizeof(T);
    } else if constexpr (IsFixedText<T>::value) {
        return T::kSize;
    } else if constexpr (IsVbArray<T>::value) {
        return T::kCount * SizeOf<std::remove_cvref_t<decltype(std::declval<T>().items[0])>>();
    } else {
        SizeCounter c;
        T r{};
        T::visit(r, c);
        return c.n;
    }
}

template <class T>
inline void PutLE(std::uint8_t* p, T v)
{
    using U = std::make_unsigned_t<std::conditional_t<std::is_floating_point_v<T>,
                                                      std::conditional_t<sizeof(T) == 4, std::int32_t, std::int64_t>, T>>;
    U u;
    if constexpr (std::is_floating_point_v<T>) u = std::bit_cast<U>(v);
    else u = static_cast<U>(v);
    if constexpr (std::endian::native == std::endian::little) {
        std::memcpy(p, &u, sizeof(T));
    } else {
        for (std::size_t i = 0; i < sizeof(T); ++i) p[i] = static_cast<std::uint8_t>(u >> (8 * i));
    }
}

template <class T>
inline T GetLE(const std::uint8_t* p)
{
    using U = std::make_unsigned_t<std::conditional_t<std::is_floating_point_v<T>,
                                                      std::conditional_t<sizeof(T) == 4, std::int32_t, std::int64_t>, T>>;
    U u = 0;
    if constexpr (std::endian::native == std::endian::little) {
        std::memcpy(&u, p, sizeof(T));
    } else {
        for (std::size_t i = 0; i < sizeof(T); ++i) u = static_cast<U>(u | (static_cast<U>(p[i]) << (8 * i)));
    }
    if constexpr (std::is_floating_point_v<T>) return std::bit_cast<T>(u);
    else return static_cast<T>(u);
}

struct Reader {
    const std::uint8_t* p;
    std::size_t pos = 0;
    template <class... F>
    void operator()(F&... f) { (get(f), ...); }
    template <class F>
    void get(F& f)
    {
        if constexpr (Scalar<F>) {
            f = GetLE<F>(p + pos);
            pos += sizeof(F);
        } else if constexpr (IsFixedText<F>::value) {
            std::memcpy(f.bytes.data(), p + pos, F::kSize);
            pos += F::kSize;
        } else if constexpr (kBlockCopy<F>) {
            std::memcpy(f.items.data(), p + pos, sizeof(f.items));
            pos += sizeof(f.items);
        } else if constexpr (IsVbArray<F>::value) {
            for (auto& item : f.items) get(item);
        } else {
            F::visit(f, *this);
        }
    }
};

struct Writer {
    std::uint8_t* p;
    std::size_t pos = 0;
    template <class... F>
    void operator()(const F&... f) { (put(f), ...); }
    template <class F>
    void put(const F& f)
    {
        if constexpr (Scalar<F>) {
            PutLE<F>(p + pos, f);
            pos += sizeof(F);
        } else if constexpr (IsFixedText<F>::value) {
            std::memcpy(p + pos, f.bytes.data(), F::kSize);
            pos += F::kSize;
        } else if constexpr (kBlockCopy<F>) {
            std::memcpy(p + pos, f.items.data(), sizeof(f.items));
            pos += sizeof(f.items);
        } else if constexpr (IsVbArray<F>::value) {
            for (const auto& item : f.items) put(item);
        } else {
            F::visit(f, *this);
        }
    }
};

}  // namespace codec

// Stored size of a record, from its field list.
template <class R>
constexpr std::size_t RecordSize = codec::SizeOf<R>();

template <class R>
void Decode(std::span<const std::uint8_t> bytes, R& r)
{
    static_assert(RecordSize<R> == R::Size, "field list and record size disagree");
    if (bytes.size() < R::Size) IndexOutOfRange(static_cast<int>(bytes.size()), static_cast<int>(R::Size), static_cast<int>(R::Size));
    codec::Reader rd{bytes.data()};
    R::visit(r, rd);
}

template <class R>
R Decode(std::span<const std::uint8_t> bytes)
{
    R r{};
    Decode(bytes, r);
    return r;
}

template <class R>
void Encode(const R& r, std::span<std::uint8_t> bytes)
{
    static_assert(RecordSize<R> == R::Size, "field list and record size disagree");
    if (bytes.size() < R::Size) IndexOutOfRange(static_cast<int>(bytes.size()), static_cast<int>(R::Size), static_cast<int>(R::Size));
    codec::Writer wr{bytes.data()};
    R::visit(r, wr);
}

template <class R>
std::array<std::uint8_t, R::Size> Encode(const R& r)
{
    std::array<std::uint8_t, R::Size> out{};
    Encode(r, std::span<std::uint8_t>(out));
    return out;
}

}  // namespace tavrin
