#pragma once

// Boost.Asio must come before any windows.h; its awaitable header also needs <utility> first
// with this Boost release in C++20 mode.
#include <utility>

#include <boost/asio.hpp>
#include <boost/beast/core.hpp>
#include <boost/beast/http.hpp>

namespace sapsim {

namespace asio = boost::asio;
namespace beast = boost::beast;
namespace http = boost::beast::http;
using tcp = boost::asio::ip::tcp;

} // namespace sapsim
