function eigdr
%EIGDR  Rayleigh-wave eigen displacements of a vemlari check run against depth.
%   Run EIGDR in the folder where vemlari ran in check mode (answer 1 to
%   "Check Secular Functions & Eigen Vectors?"). It reads
%     vr1_dat    horizontal displacement of each mode, nzint+1 depths per
%                mode, modes in increasing order
%     vr2_dat    vertical displacement, the same layout (surface value 1)
%     vzn_dat    the depth grid: depth (m), nzint, number of layers nl and
%                the nl layer thicknesses (m); depth z = dep/nzint*(iz-1)
%     om_dat, mdr_dat, phsr1_dat   frequency and phase velocity of each mode
%   and draws one panel per mode, both components against depth (km), with
%   the layer interfaces as dotted lines. The figure is shown and saved as
%   eigdr.png in the same folder.
%
%   Octave:  octave --no-gui --eval "addpath('/path/to/vemlari/plot'); eigdr"
vemlari_eigen('eigdr', 'r', {'vr1_dat', 'vr2_dat'}, {'horizontal', 'vertical'}, 'displacement');
end
