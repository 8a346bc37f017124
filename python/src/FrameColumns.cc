#include "FrameColumns.h"

#include <cmath>
#include <cstdint>
#include <utility>

namespace zelpy {

namespace py = pybind11;

namespace {

// A text object's UTF-8 where it lies; false, with nothing set, for a text
// UTF-8 cannot hold (a lone surrogate).
bool ViewText(PyObject* text, std::string_view* view) {
  Py_ssize_t size = 0;
  const char* utf8 = PyUnicode_AsUTF8AndSize(text, &size);
  if (utf8 == nullptr) {
    PyErr_Clear();
    return false;
  }
  *view = std::string_view(utf8, static_cast<std::size_t>(size));
  return true;
}

// A lone surrogate is kept as the bytes Python's "surrogatepass" gives,
// which the checks of a run refuse with the row and field.
std::string SurrogateBytes(PyObject* text) {
  const py::bytes raw =
      py::reinterpret_steal<py::bytes>(PyUnicode_AsEncodedString(text, "utf-8", "surrogatepass"));
  if (!raw) throw py::error_already_set();
  return std::string(raw);
}

// Views the texts of an object array; anything that is not a text counts as
// missing (the package hands over only arrays of texts and missing values).
// The array the views point into, which must be kept.
py::array ViewObjects(const py::array& values, ColumnData* data) {
  if (values.dtype().kind() != 'O' || values.ndim() != 1) {
    throw py::value_error("an object column is one-dimensional and of objects");
  }
  const py::array contiguous = py::array::ensure(values, py::array::c_style);
  auto* const* objects = static_cast<PyObject* const*>(contiguous.data());
  data->rows = static_cast<std::size_t>(contiguous.size());
  data->views.resize(data->rows);
  // A frame read from a file holds few distinct text objects, each in many
  // rows: the views of recent objects are kept, by address.
  constexpr std::size_t kSlots = 1024;
  std::vector<std::pair<PyObject*, std::string_view>> seen(kSlots, {nullptr, {}});
  for (std::size_t r = 0; r < data->rows; ++r) {
    PyObject* item = objects[r];
    auto& slot = seen[(reinterpret_cast<std::uintptr_t>(item) >> 4) % kSlots];
    if (slot.first == item) {
      data->views[r] = slot.second;
      continue;
    }
    if (!PyUnicode_Check(item)) continue;
    if (!ViewText(item, &data->views[r])) {
      data->owned.push_back(SurrogateBytes(item));
      data->views[r] = data->owned.back();
    }
    slot = {item, data->views[r]};
  }
  return contiguous;
}

bool IsNaN(PyObject* item) {
  return PyFloat_CheckExact(item) && std::isnan(PyFloat_AS_DOUBLE(item));
}

}  // namespace

bool TextObjects(const py::array& values) {
  if (values.dtype().kind() != 'O' || values.ndim() != 1) return false;
  const py::array contiguous = py::array::ensure(values, py::array::c_style);
  auto* const* objects = static_cast<PyObject* const*>(contiguous.data());
  bool text = false;
  for (py::ssize_t r = 0; r < contiguous.size(); ++r) {
    PyObject* item = objects[r];
    if (PyUnicode_CheckExact(item)) {
      text = true;
    } else if (item != Py_None && !IsNaN(item)) {
      return false;
    }
  }
  return text;
}

namespace {

// The kind of a column of numbers: "real", "date", "time" or "timestamp"
// (ValueError otherwise).
ColumnData::Kind NumberKind(const std::string& kind) {
  return kind == "date"        ? ColumnData::Kind::kDate
         : kind == "time"      ? ColumnData::Kind::kTime
         : kind == "timestamp" ? ColumnData::Kind::kTimestamp
         : kind == "real"      ? ColumnData::Kind::kReal
                               : throw py::value_error("unknown column kind " + kind);
}

}  // namespace

std::vector<std::string> Texts(const py::handle& list) {
  std::vector<std::string> texts;
  for (const py::handle item : list) {
    if (!PyUnicode_Check(item.ptr())) throw py::type_error("a text column holds a non-text");
    std::string_view view;
    if (ViewText(item.ptr(), &view)) {
      texts.emplace_back(view);
    } else {
      texts.push_back(SurrogateBytes(item.ptr()));
    }
  }
  return texts;
}

// A column tuple (kind, values, extra): ("integer", int64, mask or None),
// ("real" | "date" | "time" | "timestamp", float64, None), ("text", int64
// codes, list of texts) or ("objects", object array, None). The arrays it
// reads are added to `keep`.
ColumnData ReadColumn(const py::tuple& column, std::vector<py::object>* keep) {
  const std::string kind = column[0].cast<std::string>();
  ColumnData data;
  if (kind == "integer") {
    IntArray values = column[1].cast<IntArray>();
    data.kind = ColumnData::Kind::kInteger;
    data.rows = static_cast<std::size_t>(values.size());
    data.integers = values.data();
    keep->push_back(values);
    if (!column[2].is_none()) {
      MaskArray mask = column[2].cast<MaskArray>();
      if (mask.size() != values.size()) throw py::value_error("a mask of another length");
      data.missing = reinterpret_cast<const uint8_t*>(mask.data());
      keep->push_back(mask);
    }
  } else if (kind == "objects") {
    data.kind = ColumnData::Kind::kObjects;
    keep->push_back(ViewObjects(column[1].cast<py::array>(), &data));
  } else if (kind == "text") {
    IntArray codes = column[1].cast<IntArray>();
    data.kind = ColumnData::Kind::kText;
    data.rows = static_cast<std::size_t>(codes.size());
    data.codes = codes.data();
    data.texts = Texts(column[2]);
    keep->push_back(codes);
  } else {
    RealArray values = column[1].cast<RealArray>();
    data.kind = NumberKind(kind);
    data.rows = static_cast<std::size_t>(values.size());
    data.reals = values.data();
    keep->push_back(values);
  }
  return data;
}

// The columns of a frame, one per name and all of one length; the arrays
// they point into are added to `keep`.
std::vector<ColumnData> ReadColumns(const std::vector<std::string>& names, const py::list& columns,
                                    std::vector<py::object>* keep) {
  std::vector<ColumnData> data;
  // ColumnData copies when the vector grows (its deque moves only with an
  // allocation): a copy of every view of every text column so far.
  data.reserve(columns.size());
  for (const py::handle column : columns) {
    data.push_back(ReadColumn(column.cast<py::tuple>(), keep));
  }
  if (names.size() != data.size()) throw py::value_error("a name for every column");
  for (const ColumnData& column : data) {
    if (column.rows != data.front().rows) throw py::value_error("columns of different lengths");
  }
  return data;
}

}  // namespace zelpy
