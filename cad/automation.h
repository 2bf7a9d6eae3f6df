// The late-bound automation surface through which the draw command reaches the CAD host: a
// variant, an object with call/get/put by member name, three failure kinds, and connection by
// ProgID through whichever transport is registered for it.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace kelvo::cad {

class AutoObject;
using ObjectRef = std::shared_ptr<AutoObject>;

// The argument left out of an optional parameter (VT_ERROR/DISP_E_PARAMNOTFOUND in COM).
struct Omitted {
  bool operator==(const Omitted&) const = default;
};

// A currency value: a count of ten-thousandths, as COM keeps it.
struct Currency {
  std::int64_t tenThousandths = 0;
  bool operator==(const Currency&) const = default;
};

struct Variant;

// An array of variants (VT_ARRAY | VT_VARIANT in COM): the values of extended entity data, and
// what a member with several out-parameters answers.
struct VariantArray {
  std::vector<Variant> items;
  bool operator==(const VariantArray& other) const;
};

// Texts are Windows-1251 inside Kelvo; the transports convert them for the host. Arrays of
// doubles are points and point lists; arrays of 16-bit integers are group codes. A 16-bit
// integer (VT_I2) is what CAD programs answer for integer system variables and 1070 data.
using VariantBase = std::variant<std::monostate, Omitted, bool, std::int32_t, double, Currency, std::string,
                                 ObjectRef, std::vector<double>, std::vector<std::int16_t>, VariantArray,
                                 std::int16_t>;
struct Variant : VariantBase {
  using VariantBase::VariantBase;
  using VariantBase::operator=;
};
inline bool VariantArray::operator==(const VariantArray& other) const { return items == other.items; }
using Args = std::vector<Variant>;

// Failure kinds, each a special case of the next: the host raised an error during the call;
// the call or the connection failed with an error status; any other automation failure.
class EOleError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};
class EOleSysError : public EOleError {
 public:
  using EOleError::EOleError;
};
class EOleException : public EOleSysError {
 public:
  using EOleSysError::EOleSysError;
};

// An object of the host, bound late: members are named at the call and compare without
// regard to case.
class AutoObject {
 public:
  virtual ~AutoObject() = default;
  virtual Variant call(std::string_view member, const Args& args) = 0;
  virtual Variant get(std::string_view member) = 0;
  virtual void put(std::string_view member, const Variant& value) = 0;
};

// Conversions a caller expects of a result; anything else is an EOleError.
double toDouble(const Variant& v);
std::int32_t toInt(const Variant& v);
std::string toText(const Variant& v);
ObjectRef toObject(const Variant& v);
std::vector<double> toDoubles(const Variant& v);  // also from 16-bit integers
std::vector<std::int16_t> toShorts(const Variant& v);
// An array of variants; an array of doubles (as a host may answer one whose items are all
// numbers) gives its numbers one by one.
std::vector<Variant> toVariants(const Variant& v);

// ASCII letters only, as member names are.
bool sameMember(std::string_view a, std::string_view b);

// Transports: each answers for some ProgIDs. Connecting to a ProgID that no transport answers,
// or whose host is not running, raises EOleSysError.
using Transport = std::function<ObjectRef(std::string_view progId)>;
// Returns a token; removing it takes the transport away again (tests).
int registerTransport(Transport transport);
void unregisterTransport(int token);
ObjectRef GetActiveOleObject(std::string_view progId);
// The first running host of a list of ProgIDs separated by ";" (spaces around a name ignored);
// when none runs, the failure of the last one is raised.
ObjectRef GetActiveOleObjectOf(std::string_view progIds);

}  // namespace kelvo::cad
