function eigsr
%EIGSR  Rayleigh-wave eigen stresses of a vemlari check run against depth.
%   Run EIGSR in the folder where vemlari ran in check mode (answer 1 to
%   "Check Secular Functions & Eigen Vectors?"). It reads
%     vr3_dat    shear (horizontal) traction of each mode, nzint+1 depths
%                per mode, modes in increasing order
%     vr4_dat    normal (vertical) traction, the same layout
%     vzn_dat    the depth grid: depth (m), nzint, number of layers nl and
%                the nl layer thicknesses (m); depth z = dep/nzint*(iz-1)
%     om_dat, mdr_dat, phsr1_dat   frequency and phase velocity of each mode
%   and draws one panel per mode, both tractions divided by the mode's
%   largest stress magnitude against depth (km), with the layer interfaces
%   as dotted lines. The figure is shown and saved as eigsr.png in the same
%   folder.
%
%   Octave:  octave --no-gui --eval "addpath('/path/to/vemlari/plot'); eigsr"
vemlari_eigen('eigsr', 'r', {'vr3_dat', 'vr4_dat'}, {'shear traction', 'normal traction'}, 'stress');
end
