#pragma once
// The one exception type of the library. Every refusal (an invalid model, frequency list,
// option or request) throws vemlari::Error before any work is done; nothing is half-computed.
// A call stopped by its Cancellation (vemlari/cancellation.h) throws Error (Rule::cancelled).
#include <limits>
#include <stdexcept>
#include <string>

namespace vemlari {

class Error : public std::runtime_error {
public:
    // What was refused.
    enum class Rule {
        no_layers,           // a model needs at least the half-space
        not_finite,          // a value that must be a finite number
        not_positive,        // density and S velocity must be positive (and finite)
        vp_not_above_vs,     // the P velocity of a layer must exceed its S velocity
        not_a_solid,         // ... and give a positive bulk modulus: vp^2 > 4/3 vs^2
        negative_thickness,  // a layer above the half-space must not have a negative thickness
        out_of_range,        // a layer value outside the range the computation can evaluate (model.h)
        half_space_vs,       // the half-space must have the largest S velocity of the model
        half_space_vp,       // ... and the largest P velocity
        frequencies,         // frequencies must be finite, >= 0 and increasing
        option,              // a search option out of its range
        request,             // a mode, wave, depth or layer that the call cannot serve
        cancelled,           // the caller raised the call's Cancellation: the work stopped unfinished
    };

    // `layer` counts from 1 (the top layer), 0 when the rule is not about one layer;
    // `quantity` is the field ("thickness", "vp", "vs", "density", "qp", "qs", "fp", "fs"
    // for layers) and `value` the value refused (NaN where there is none).
    Error(Rule rule, const std::string& message, int layer = 0, std::string quantity = {},
          double value = std::numeric_limits<double>::quiet_NaN())
        : std::runtime_error(message), rule_(rule), layer_(layer), quantity_(std::move(quantity)), value_(value) {}

    Rule rule() const { return rule_; }
    int layer() const { return layer_; }
    const std::string& quantity() const { return quantity_; }
    double value() const { return value_; }

private:
    Rule rule_;
    int layer_;
    std::string quantity_;
    double value_;
};

}  // namespace vemlari
