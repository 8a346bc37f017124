#include "PythonHost.h"

namespace zelpy {

namespace py = pybind11;

PythonHost::PythonHost(py::object progress) : progress_(std::move(progress)) {}

PythonHost::~PythonHost() {
  // The kept exception and the callable are released with the lock held.
  py::gil_scoped_acquire lock;
  raised_.reset();
  progress_ = py::object();
}

void PythonHost::Visit(bool draw) {
  py::gil_scoped_acquire lock;
  try {
    if (PyErr_CheckSignals() != 0) throw py::error_already_set();
    if (draw && !progress_.is_none()) progress_(phase(), records(), total());
  } catch (py::error_already_set& error) {
    Stop();
    if (!raised_) raised_ = std::make_unique<py::error_already_set>(std::move(error));
  }
}

void PythonHost::RaiseIfInterrupted() {
  if (!raised_) return;
  py::error_already_set error = std::move(*raised_);
  raised_.reset();
  throw error;
}

}  // namespace zelpy
