function eigdl
%EIGDL  Love-wave eigen displacements of a vemlari check run against depth.
%   Run EIGDL in the folder where vemlari ran in check mode (answer 1 to
%   "Check Secular Functions & Eigen Vectors?"). It reads
%     vl1_dat    Love displacement of each mode, nzint+1 depths per mode,
%                modes in increasing order, surface value 1
%     vzn_dat    the depth grid: depth (m), nzint, number of layers nl and
%                the nl layer thicknesses (m); depth z = dep/nzint*(iz-1)
%     om_dat, mdl_dat, phsl1_dat   frequency and phase velocity of each mode
%   and draws one panel per mode, displacement against depth (km), with the
%   layer interfaces as dotted lines. The figure is shown and saved as
%   eigdl.png in the same folder.
%
%   Octave:  octave --no-gui --eval "addpath('/path/to/vemlari/plot'); eigdl"
vemlari_eigen('eigdl', 'l', {'vl1_dat'}, {'displacement'}, 'displacement');
end
