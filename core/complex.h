#pragma once

// One amplitude of the state vector.
//
// The record layout is a binary contract with every gate plug-in, which reads and writes
// the program's amplitude array in place: table pointer at 0, imag at 8, real at 16, 24 bytes.
// The virtual destructor exists only to keep that table pointer in every element.
class Complex {
public:
    Complex() = default;
    Complex(double v) : real(v) {} // NOLINT(google-explicit-constructor): amplitude := 1
    Complex(double re, double im) : imag(im), real(re) {}
    Complex(const Complex& other) : imag(other.imag), real(other.real) {}
    Complex& operator=(const Complex& other) {
        imag = other.imag;
        real = other.real;
        return *this;
    }
    Complex& operator=(double v) {
        imag = 0.0;
        real = v;
        return *this;
    }
    virtual ~Complex() = default;

    // Text form "%.5g", "%.5g + %.5gi" or "%.5g - %.5gi", chosen by the sign of imag (a NaN
    // imaginary part counts as zero). Writes at most 64 characters including the terminator.
    void text(char* buffer) const;
    // The same text in one static buffer of 64 characters that the next call overwrites.
    const char* text() const;

    double magnitude() const;
    // Probability of the basis state; no square root.
    double norm() const { return imag * imag + real * real; }

    void set(double re, double im) {
        real = re;
        imag = im;
    }
    void setAngle(double theta);

    // Each product is rounded to double before the sum or difference, as the gates'
    // bit-exact results require.
    Complex operator*(const Complex& b) const {
        return Complex(b.real * real - b.imag * imag, b.real * imag + b.imag * real);
    }
    Complex& operator*=(const Complex& b) { return *this = *this * b; }
    Complex operator*(double h) const { return Complex(real * h, imag * h); }
    Complex& operator+=(const Complex& b) {
        real += b.real;
        imag += b.imag;
        return *this;
    }
    Complex& operator-=(const Complex& b) {
        real -= b.real;
        imag -= b.imag;
        return *this;
    }

    double imag = 0.0;
    double real = 0.0;
};

inline constexpr int ComplexTextSize = 64;
