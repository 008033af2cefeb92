# Entry points for people and CI. Every target installs what it needs first.
BUILD_DIR ?= build
BUILD_TYPE ?= RelWithDebInfo
JOBS ?= 2
# Warnings are errors in CI, warnings elsewhere.
WERROR ?= $(if $(CI),ON,OFF)

CMAKE_CONFIGURE = cmake -S . -B $(BUILD_DIR) -G Ninja \
	-DCMAKE_BUILD_TYPE=$(BUILD_TYPE) -DZENTORA_WERROR=$(WERROR)

.PHONY: all setup configure build run test package demo bench sanitize fuzz format clean

all: build

setup:
	@bash scripts/setup.sh

configure: setup
	@$(CMAKE_CONFIGURE) > /dev/null

build: configure
	@cmake --build $(BUILD_DIR) -j$(JOBS)

run: build
	@$(BUILD_DIR)/src/app/zentora

test: build
	@cd $(BUILD_DIR) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure --no-tests=error -j$(JOBS)

# The Debian package, build/zentora_<version>_amd64.deb.
package: build
	@cd $(BUILD_DIR) && cpack

demo: build
	@bash scripts/demo.sh $(BUILD_DIR)

bench: build
	@$(BUILD_DIR)/bench/image_compile_bench --benchmark_report_aggregates_only=true
	@$(BUILD_DIR)/bench/wave_compile_bench --benchmark_report_aggregates_only=true
	@$(BUILD_DIR)/bench/download_bench --benchmark_report_aggregates_only=true
	@$(BUILD_DIR)/bench/font_library_bench
	@$(BUILD_DIR)/bench/gallery_paint_bench --benchmark_report_aggregates_only=true
	@$(BUILD_DIR)/bench/readback_bench --benchmark_report_aggregates_only=true
	@$(BUILD_DIR)/bench/module_preview_bench
	@bash bench/compile_vs_imagemagick.sh $(BUILD_DIR)
	@bash bench/dither_compile_cost.sh $(BUILD_DIR)

# Core tests under AddressSanitizer + UndefinedBehaviorSanitizer, and the
# threaded parts under ThreadSanitizer.
sanitize: setup
	@bash scripts/sanitize.sh

# Each libFuzzer target for a short while (FUZZ_SECONDS, default 30).
fuzz: setup
	@bash scripts/fuzz.sh

format:
	@git ls-files '*.cpp' '*.h' | xargs clang-format -i

clean:
	@rm -rf $(BUILD_DIR) build-asan build-tsan build-fuzz
