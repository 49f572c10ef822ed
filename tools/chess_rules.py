"""Chess rules for the match referee: legal moves, game end and UCI move texts.

Squares are 0..63 with a1 = 0, h1 = 7, a8 = 56.  Pieces are 'PNBRQK' for White and
'pnbrqk' for Black, '.' for an empty square.
"""

KNIGHT_STEPS = [(1, 2), (2, 1), (2, -1), (1, -2), (-1, -2), (-2, -1), (-2, 1), (-1, 2)]
KING_STEPS = [(1, 0), (1, 1), (0, 1), (-1, 1), (-1, 0), (-1, -1), (0, -1), (1, -1)]
ROOK_DIRS = [(1, 0), (-1, 0), (0, 1), (0, -1)]
BISHOP_DIRS = [(1, 1), (1, -1), (-1, 1), (-1, -1)]
START_FEN = "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1"


def square_name(sq):
    return "abcdefgh"[sq % 8] + str(sq // 8 + 1)


def parse_square(text):
    if len(text) != 2 or text[0] not in "abcdefgh" or text[1] not in "12345678":
        return None
    return "abcdefgh".index(text[0]) + 8 * (int(text[1]) - 1)


def white(piece):
    return piece.isupper()


def offset(sq, df, dr):
    f, r = sq % 8 + df, sq // 8 + dr
    return f + 8 * r if 0 <= f < 8 and 0 <= r < 8 else None


class Position:
    def __init__(self, fen=START_FEN):
        fields = fen.split()
        self.board = ["."] * 64
        rank, file = 7, 0
        for c in fields[0]:
            if c == "/":
                rank, file = rank - 1, 0
            elif c.isdigit():
                file += int(c)
            else:
                self.board[file + 8 * rank] = c
                file += 1
        self.side = fields[1] if len(fields) > 1 else "w"
        self.castling = set(fields[2]) - {"-"} if len(fields) > 2 else set()
        self.ep = parse_square(fields[3]) if len(fields) > 3 and fields[3] != "-" else None
        self.halfmove = int(fields[4]) if len(fields) > 4 else 0
        self.fullmove = int(fields[5]) if len(fields) > 5 else 1

    def copy(self):
        p = Position.__new__(Position)
        p.board = self.board[:]
        p.side, p.castling, p.ep = self.side, set(self.castling), self.ep
        p.halfmove, p.fullmove = self.halfmove, self.fullmove
        return p

    def own(self, piece):
        return piece != "." and white(piece) == (self.side == "w")

    def attacked(self, sq, by_white):
        b = self.board
        pawn = "P" if by_white else "p"
        for df in (-1, 1):
            s = offset(sq, df, -1 if by_white else 1)
            if s is not None and b[s] == pawn:
                return True
        for steps, kind in ((KNIGHT_STEPS, "N"), (KING_STEPS, "K")):
            target = kind if by_white else kind.lower()
            for df, dr in steps:
                s = offset(sq, df, dr)
                if s is not None and b[s] == target:
                    return True
        for dirs, kinds in ((ROOK_DIRS, "RQ"), (BISHOP_DIRS, "BQ")):
            targets = kinds if by_white else kinds.lower()
            for df, dr in dirs:
                s = offset(sq, df, dr)
                while s is not None:
                    if b[s] != ".":
                        if b[s] in targets:
                            return True
                        break
                    s = offset(s, df, dr)
        return False

    def king_square(self, white_king):
        return self.board.index("K" if white_king else "k")

    def in_check(self):
        return self.attacked(self.king_square(self.side == "w"), self.side != "w")

    def pseudo_moves(self):
        b, moves, w = self.board, [], self.side == "w"
        for sq in range(64):
            piece = b[sq]
            if not self.own(piece):
                continue
            kind = piece.upper()
            if kind == "P":
                dr = 1 if w else -1
                last = 7 if w else 0
                one = offset(sq, 0, dr)
                if one is not None and b[one] == ".":
                    moves += self._pawn_moves(sq, one, last)
                    two = offset(sq, 0, 2 * dr)
                    if sq // 8 == (1 if w else 6) and b[two] == ".":
                        moves.append((sq, two, ""))
                for df in (-1, 1):
                    t = offset(sq, df, dr)
                    if t is None:
                        continue
                    if (b[t] != "." and not self.own(b[t])) or t == self.ep:
                        moves += self._pawn_moves(sq, t, last)
            elif kind in "NK":
                for df, dr in KNIGHT_STEPS if kind == "N" else KING_STEPS:
                    t = offset(sq, df, dr)
                    if t is not None and not self.own(b[t]):
                        moves.append((sq, t, ""))
            else:
                dirs = ROOK_DIRS if kind == "R" else BISHOP_DIRS if kind == "B" else ROOK_DIRS + BISHOP_DIRS
                for df, dr in dirs:
                    t = offset(sq, df, dr)
                    while t is not None and not self.own(b[t]):
                        moves.append((sq, t, ""))
                        if b[t] != ".":
                            break
                        t = offset(t, df, dr)
        moves += self._castling_moves()
        return moves

    def _pawn_moves(self, sq, to, last):
        if to // 8 == last:
            return [(sq, to, p) for p in "qrbn"]
        return [(sq, to, "")]

    def _castling_moves(self):
        w = self.side == "w"
        home = 0 if w else 56
        rights = ("K", "Q") if w else ("k", "q")
        king = "K" if w else "k"
        rook = "R" if w else "r"
        if self.board[home + 4] != king or self.in_check():
            return []
        moves = []
        for right, rook_sq, empty, passing in ((rights[0], home + 7, (5, 6), (5, 6)),
                                                (rights[1], home, (1, 2, 3), (3, 2))):
            if right not in self.castling or self.board[rook_sq] != rook:
                continue
            if any(self.board[home + e] != "." for e in empty):
                continue
            if any(self.attacked(home + p, not w) for p in passing):
                continue
            moves.append((home + 4, home + passing[1], ""))
        return moves

    def play(self, move):
        """The position after a pseudo-legal move."""
        frm, to, promo = move
        p = self.copy()
        b = p.board
        piece = b[frm]
        capture = b[to] != "."
        if piece.upper() == "P" and to == self.ep:
            b[to + (-8 if piece == "P" else 8)] = "."
            capture = True
        b[to] = (promo.upper() if piece == "P" else promo) if promo else piece
        b[frm] = "."
        if piece.upper() == "K" and abs(to - frm) == 2:
            rook_from, rook_to = (frm + 3, frm + 1) if to > frm else (frm - 4, frm - 1)
            b[rook_to], b[rook_from] = b[rook_from], "."
        p.ep = (frm + to) // 2 if piece.upper() == "P" and abs(to - frm) == 16 else None
        for sq, right in ((4, "KQ"), (0, "Q"), (7, "K"), (60, "kq"), (56, "q"), (63, "k")):
            if frm == sq or to == sq:
                p.castling -= set(right)
        p.halfmove = 0 if capture or piece.upper() == "P" else self.halfmove + 1
        if self.side == "b":
            p.fullmove += 1
        p.side = "b" if self.side == "w" else "w"
        return p

    def legal_moves(self):
        legal = []
        for move in self.pseudo_moves():
            after = self.play(move)
            if not after.attacked(after.king_square(self.side == "w"), after.side == "w"):
                legal.append(move)
        return legal

    def parse_uci(self, text):
        """The legal move named by a UCI text, or None."""
        if len(text) not in (4, 5):
            return None
        frm, to = parse_square(text[:2]), parse_square(text[2:4])
        promo = text[4:]
        for move in self.legal_moves():
            if move == (frm, to, promo):
                return move
        return None

    def repetition_key(self):
        ep = self.ep
        if ep is not None:
            pawn = "P" if self.side == "w" else "p"
            behind = -8 if self.side == "w" else 8
            if not any(offset(ep + behind, df, 0) is not None and self.board[offset(ep + behind, df, 0)] == pawn
                       for df in (-1, 1)):
                ep = None
        return ("".join(self.board), self.side, "".join(sorted(self.castling)), ep)

    def insufficient_material(self):
        pieces = [(p, sq) for sq, p in enumerate(self.board) if p not in ".Kk"]
        if not pieces:
            return True
        if len(pieces) == 1 and pieces[0][0].upper() in "NB":
            return True
        if all(p.upper() == "B" for p, _ in pieces):
            colours = {(sq % 8 + sq // 8) % 2 for _, sq in pieces}
            return len(colours) == 1
        return False


def move_text(move):
    return square_name(move[0]) + square_name(move[1]) + move[2]
