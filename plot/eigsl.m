function eigsl
%EIGSL  Love-wave eigen shear stresses of a vemlari check run against depth.
%   Run EIGSL in the folder where vemlari ran in check mode (answer 1 to
%   "Check Secular Functions & Eigen Vectors?"). It reads
%     vl2_dat    Love shear stress of each mode, nzint+1 depths per mode,
%                modes in increasing order
%     vzn_dat    the depth grid: depth (m), nzint, number of layers nl and
%                the nl layer thicknesses (m); depth z = dep/nzint*(iz-1)
%     om_dat, mdl_dat, phsl1_dat   frequency and phase velocity of each mode
%   and draws one panel per mode, the stress divided by its largest
%   magnitude against depth (km), with the layer interfaces as dotted lines.
%   The figure is shown and saved as eigsl.png in the same folder.
%
%   Octave:  octave --no-gui --eval "addpath('/path/to/vemlari/plot'); eigsl"
vemlari_eigen('eigsl', 'l', {'vl2_dat'}, {'shear stress'}, 'stress');
end
